// Write builders per kind and family: the texts, in order, and the requests that build
// nothing.
#include "write_builders.h"
#include <comm/texts.h>

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

namespace {

using namespace tkv;

std::vector<std::string> textsOf(const cmdset::TKV_WriteCommands& w) {
    std::vector<std::string> out;
    if (!w.built) {
        return out;
    }
    out.emplace_back(text::view(w.first));
    for (int i = 0; i < w.extraCount; ++i) {
        out.emplace_back(text::view(w.extras[i]));
    }
    return out;
}

template <typename R> struct Case {
    const char* name;
    int32_t kind;
    int32_t type;
    std::function<void(R&)> fill;
    std::vector<std::string> texts; ///< empty: nothing is built
    const char* box = "";
};

template <typename R> void run(const std::vector<Case<R>>& cases) {
    for (const Case<R>& c : cases) {
        SCOPED_TRACE(c.name);
        R record{};
        c.fill(record);
        TagRequest r;
        r.kind = c.kind;
        r.typeCode = c.type;
        r.address = 7;
        r.data = &record;
        const cmdset::TKV_WriteCommands w = cmdset::buildWrite(r);
        EXPECT_EQ(textsOf(w), c.texts);
        EXPECT_EQ(w.built, !c.texts.empty());
        EXPECT_EQ(w.boxText, c.box);
    }
}

void params(TagParamBlock& p) {
    p.resolution = 4;
    p.startSpeed = 100;
    p.maxSpeed = 2000;
    p.rampTime = 150;
    p.decelTime = 300;
    p.separateDecel = 0;
    p.currentCode = 128;
    p.standbyMode = 0;
}

TEST(WriteBuilders, ParameterBlock) {
    run<TagParamBlock>({
        {"family 1", kKindParameters, 0x0100, params, {"07GS,WL20,WT100,GI128,WH2000,WL100,WT150"}},
        {"even type with the current",
         kKindParameters,
         0x0206,
         params,
         {"07GS,WN4,WL100,WH2000,MSN,WT150,GI128"}},
        {"odd type of family 2: no GI part",
         kKindParameters,
         0x0205,
         params,
         {"07GS,WN4,WL100,WH2000,MSN,WT150"}},
        {"separate deceleration, standby",
         kKindParameters,
         0x1002,
         [](TagParamBlock& p) {
             params(p);
             p.separateDecel = 1;
             p.standbyMode = 1;
         },
         {"07GS,WN4,WL100,WH2000,MSS,WT150:300,GI128"}},
        {"boost",
         kKindParameters,
         0x0408,
         [](TagParamBlock& p) {
             params(p);
             p.standbyMode = 2;
         },
         {"07GS,WN4,WL100,WH2000,MSB,WT150,GI128"}},
        {"unknown standby mode is nominal",
         kKindParameters,
         0x0308,
         [](TagParamBlock& p) {
             params(p);
             p.standbyMode = 9;
         },
         {"07GS,WN4,WL100,WH2000,MSN,WT150,GI128"}},
        {"family 0x30 has no parameter block", kKindParameters, 0x3001, params, {}},
        {"family 0x60 neither", kKindParameters, 0x6020, params, {}},
    });
}

void allSupported(TagSpecificMode& m) {
    m.powerOnSupported = 1;
    m.endSensorsSupported = 1;
    m.reverseSupported = 1;
    m.slidingSupported = 1;
    m.autoOutputSupported = 1;
}

TEST(WriteBuilders, SpecificModes) {
    run<TagSpecificMode>({
        {"nothing supported", kKindSpecificGroup, 0x0205, [](TagSpecificMode&) {}, {"07GS"}},
        {"all, automatic output off",
         kKindSpecificGroup,
         0x0205,
         [](TagSpecificMode& m) {
             allSupported(m);
             m.slidingDistance = 25;
             m.powerOnFunction = 0;
             m.endSensors = 1;
             m.reverseInputs = 0;
         },
         {"07GS,DG25,SR,MB L,GP A"}},
        {"all, automatic output on with every option",
         kKindSpecificGroup,
         0x1002,
         [](TagSpecificMode& m) {
             allSupported(m);
             m.slidingDistance = 0;
             m.powerOnFunction = 12;
             m.endSensors = 0;
             m.reverseInputs = 1;
             m.autoOutput = 1;
             m.autoOutputSettings = static_cast<int32_t>(0xF00F001FU);
             m.setPosition = 100;
             m.resetPosition = -200;
         },
         {"07GS,DG0,SD12,MN H,GL 0F:F0 +A,GP 100:-200 MP"}},
        {"minus, R, one mark",
         kKindSpecificGroup,
         0x0308,
         [](TagSpecificMode& m) {
             m.autoOutputSupported = 1;
             m.autoOutput = 1;
             m.autoOutputSettings = 4 + 16 + 0x10000 + 0x2000000;
             m.setPosition = 1;
             m.resetPosition = 2;
         },
         {"07GS,GL 01:02 -R,GP 1:2  P"}},
        {"no sign, A, no marks",
         kKindSpecificGroup,
         0x0408,
         [](TagSpecificMode& m) {
             m.autoOutputSupported = 1;
             m.autoOutput = 1;
             m.autoOutputSettings = 1 + 2;
         },
         {"07GS,GL 00:00  A,GP 0:0   "}},
        {"only reverse",
         kKindSpecificGroup,
         0x0100,
         [](TagSpecificMode& m) {
             m.reverseSupported = 1;
             m.reverseInputs = 1;
         },
         {"07GS H"}},
        // One format for every family: what a module offers is in its supported flags.
        {"family 0x30, nothing supported",
         kKindSpecificGroup,
         0x3001,
         [](TagSpecificMode&) {},
         {"07GS"}},
        {"family 0x40, nothing supported",
         kKindSpecificGroup,
         0x4001,
         [](TagSpecificMode&) {},
         {"07GS"}},
        {"family 0x50, nothing supported",
         kKindSpecificGroup,
         0x5000,
         [](TagSpecificMode&) {},
         {"07GS"}},
        {"family 0x60, nothing supported",
         kKindSpecificGroup,
         0x6020,
         [](TagSpecificMode&) {},
         {"07GS"}},
        {"family 0x50, all supported",
         kKindSpecificGroup,
         0x5000,
         allSupported,
         {"07GS,DG0,SR,MN L,GP A"}},
    });
}

TEST(WriteBuilders, MotionOfVrx17AndDvrx) {
    auto motion = [](int32_t sub, std::function<void(TagMotion&)> more = nullptr) {
        return [sub, more](TagMotion& m) {
            m.subKind = sub;
            m.moveSpeed = 500;
            m.absoluteTarget = -1000;
            m.relativeDistance = 250;
            m.lowSpeed = 10;
            m.highSpeed = 900;
            m.accelTime = 20;
            m.decelTime = 30;
            m.torqueRatio = 80;
            m.lowTorque = 40;
            m.positiveEnd = 5000;
            m.negativeEnd = -5000;
            m.positionToSet = 77;
            m.outputToSet = 3;
            text::copy(m.freeCommand, "SAVE");
            if (more) {
                more(m);
            }
        };
    };
    auto mode = [](int32_t mm) { return [mm](TagMotion& m) { m.moveMode = mm; }; };
    run<TagMotion>({
        {"move at speed",
         kKindMotionWrite,
         0x6020,
         motion(1, mode(kMoveSpeed)),
         {"07MOVE_SPEED 500"}},
        {"move to", kKindMotionWrite, 0x5000, motion(1, mode(kMoveAbsolute)), {"07MOVE_TO -1000"}},
        {"move on", kKindMotionWrite, 0x6020, motion(1, mode(kMoveRelative)), {"07MOVE_ON 250"}},
        {"unknown move mode", kKindMotionWrite, 0x6020, motion(1, mode(3)), {}},
        {"free command", kKindMotionWrite, 0x5000, motion(2), {"07SAVE"}},
        {"DVRX speeds",
         kKindMotionWrite,
         0x6020,
         motion(3),
         {"07#LOW_SPEED:=10,#HIGH_SPEED:=900,#ACCEL_TIME:=20,#DECEL_TIME:=30"}},
        {"VRX17 speeds",
         kKindMotionWrite,
         0x5000,
         motion(3),
         {"07#LSP:=0 , #HSP:=900 , #RTI:=20 , #LSP:=10"}},
        {"DVRX torque",
         kKindMotionWrite,
         0x6020,
         motion(4, [](TagMotion& m) { m.optimizedCurrent = 1; }),
         {"07#TORQUE_RATIO:=80,OPTIMIZED_CURRENT ON"}},
        {"VRX17 torque",
         kKindMotionWrite,
         0x5000,
         motion(4,
                [](TagMotion& m) {
                    m.standbyMode = 0;
                    m.optimizedCurrent = 1;
                }),
         {"07#TRA:=80 , #LTO:= 40 , SMO OFF"}},
        {"DVRX ends",
         kKindMotionWrite,
         0x6020,
         motion(5, [](TagMotion& m) { m.softEnds = 1; }),
         {"07HARD_ENDS OFF,SOFT_ENDS ON,#POSITIVE_END:=5000,#NEGATIVE_END:=-5000"}},
        {"VRX17 ends",
         kKindMotionWrite,
         0x5000,
         motion(5, [](TagMotion& m) { m.hardEnds = 1; }),
         {"07HEN ALL , SEN OFF , #PEN:=5000 , #NEN:=-5000"}},
        {"position", kKindMotionWrite, 0x5000, motion(7), {"07#POSITION:=77"}},
        {"output", kKindMotionWrite, 0x6020, motion(8), {"07#OUTPUT:=3"}},
        {"sub-kind 6 is no command", kKindMotionWrite, 0x6020, motion(6), {}},
        {"unknown family",
         kKindMotionWrite,
         0x0205,
         motion(7),
         {},
         "MAP : commande pour carte inconnue"},
    });
}

TEST(WriteBuilders, VariableWrites) {
    auto var = [](int32_t sub, const char* name, const char* value, int32_t out, int32_t now) {
        return [=](TagVariable& v) {
            v.subKind = sub;
            text::copy(v.name, name);
            text::copy(v.value, value);
            v.outputNumber = out;
            v.outputValue = now;
        };
    };
    run<TagVariable>({
        {"VRX17 reset", kKindVariableWrite, 0x5000, var(0, "", "", 0, 0), {"07#POSITION:=0"}},
        {"DVRX assign",
         kKindVariableWrite,
         0x6020,
         var(1, "COUNTER", "12", 0, 0),
         {"07#COUNTER:=12"}},
        {"DVRX toggle output 3",
         kKindVariableWrite,
         0x6020,
         var(2, "OUTPUT", "", 3, 0x01),
         {"07#OUTPUT:=h5"}},
        {"MICROTRILO reset", kKindVariableWrite, 0x1002, var(0, "", "", 0, 0), {"07PO #CPA := 0"}},
        {"MICROTRILO assign",
         kKindVariableWrite,
         0x1002,
         var(1, "SW", "5", 0, 0),
         {"07PO #SW := 5"}},
        {"MICROTRILO toggle: inverted first",
         kKindVariableWrite,
         0x1002,
         var(2, "OUT", "", 1, 0x02),
         {"07PO #OUT := hfc"}},
        {"toggle of output 0 names no bit",
         kKindVariableWrite,
         0x6020,
         var(2, "OUTPUT", "", 0, 1),
         {}},
        {"toggle of output 33 names no bit",
         kKindVariableWrite,
         0x1002,
         var(2, "OUT", "", 33, 1),
         {}},
        {"unknown sub-kind", kKindVariableWrite, 0x5000, var(5, "X", "1", 0, 0), {}},
        {"TRILO has no variables",
         kKindVariableWrite,
         0x0205,
         var(1, "X", "1", 0, 0),
         {},
         "MAP : build only for VRX17"},
    });
}

TEST(WriteBuilders, ToggleOfFamily0x10LeavesTheInvertedValueInTheRecord) {
    TagVariable v;
    v.subKind = kVariableToggleOutput;
    v.outputNumber = 8;
    v.outputValue = 0x0F;
    TagRequest r;
    r.kind = kKindVariableWrite;
    r.typeCode = 0x1002;
    r.address = 1;
    r.data = &v;
    const auto w = cmdset::buildWrite(r);
    EXPECT_EQ(v.outputValue, 0xF0);
    EXPECT_STREQ(w.first, "01PO #OUT := h70");
}

TEST(WriteBuilders, Vrx23AndVrx34Settings) {
    auto set = [](int32_t sub, std::function<void(TagV2334Settings&)> more = nullptr) {
        return [sub, more](TagV2334Settings& v) {
            v.subKind = sub;
            v.bn = 3;
            v.bp = 4;
            v.gi = 50;
            v.wh = 800;
            v.wt = 120;
            v.wl = 40;
            v.dg = 9;
            v.ga = 11;
            v.gf = 22;
            if (more) {
                more(v);
            }
        };
    };
    auto flags = [](uint8_t r, uint8_t s) {
        return [r, s](TagV2334Settings& v) {
            v.flagR = r;
            v.flagS = s;
        };
    };
    run<TagV2334Settings>({
        {"brake, neither",
         kKindV2334Write,
         0x3001,
         set(0x91, flags(0, 0)),
         {"07bn3", "07bp4", "07mn"}},
        {"brake, r", kKindV2334Write, 0x4001, set(0x91, flags(1, 0)), {"07bn3", "07bp4", "07mbr"}},
        {"brake, s", kKindV2334Write, 0x3001, set(0x91, flags(0, 1)), {"07bn3", "07bp4", "07mbs"}},
        {"brake, both",
         kKindV2334Write,
         0x3001,
         set(0x91, flags(1, 1)),
         {"07bn3", "07bp4", "07mb"}},
        {"current, msn", kKindV2334Write, 0x3001, set(0x92), {"07gi 50", "07msn"}},
        {"current, mss",
         kKindV2334Write,
         0x4001,
         set(0x92, [](TagV2334Settings& v) { v.ms = 1; }),
         {"07gi 50", "07mss"}},
        {"motion", kKindV2334Write, 0x3001, set(0x93), {"07dg9", "07wl40", "07wx 800 120"}},
        {"gain ga", kKindV2334Write, 0x3001, set(0x95), {"07ga11"}},
        {"gain gf",
         kKindV2334Write,
         0x4001,
         set(0x95, [](TagV2334Settings& v) { v.gfSelected = 1; }),
         {"07gf22"}},
        {"sub-kind 0x94 is no command", kKindV2334Write, 0x3001, set(0x94), {}},
        {"not a VRX23/VRX34",
         kKindV2334Write,
         0x6020,
         set(0x91),
         {},
         "MAP : erreur sur le type de module"},
    });
}

TEST(WriteBuilders, KindsWithoutWritesBuildNothing) {
    TagStatus s;
    for (int32_t kind : {kKindStatus, kKindV2334Read, kKindMotionRead, kKindVariableBase + 1}) {
        TagRequest r;
        r.kind = kind;
        r.typeCode = 0x0205;
        r.data = &s;
        const auto w = cmdset::buildWrite(r);
        EXPECT_FALSE(w.built) << kind;
        EXPECT_STREQ(w.first, "erreur");
    }
    TagRequest none;
    none.kind = kKindParameters;
    none.typeCode = 0x0205;
    EXPECT_FALSE(cmdset::buildWrite(none).built) << "no data record";
}

} // namespace
