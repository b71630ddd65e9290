// Reply formats of every family, with replies that match, match in part, or not at all.
#include "record_text.h"
#include <comm/reply_parsers.h>

#include <gtest/gtest.h>

#include <functional>
#include <vector>

namespace {

using namespace tkv;
using commtest::describe;

template <typename R> struct Case {
    const char* name;
    int32_t kind;
    int32_t type;
    int32_t sub;
    const char* reply;
    std::function<void(R&)> before;  ///< the record before the parse
    std::function<void(R&)> changes; ///< what the parse changes in it
};

template <typename R> void run(const std::vector<Case<R>>& cases) {
    for (const Case<R>& c : cases) {
        SCOPED_TRACE(c.name);
        R record{};
        if (c.before) {
            c.before(record);
        }
        R expected = record;
        if (c.changes) {
            c.changes(expected);
        }
        TagRequest r;
        r.kind = c.kind;
        r.typeCode = c.type;
        r.subIndex = c.sub;
        r.address = 3;
        r.data = &record;
        cmdset::parseReply(r, c.reply);
        EXPECT_EQ(describe(record), describe(expected));
    }
}

// A record whose every field has a value a parse would visibly change.
void busyStatus(TagStatus& s) {
    s.position = -1;
    s.power = 1;
    s.moving = 1;
    s.inputs = 0x11;
    s.outputs = 0x22;
    s.function = 9;
    s.stage = 8;
    s.errorCode = 7;
    s.execute = 6;
    s.statusWord = 5;
    s.extraValue1 = 44;
    s.extraValue2 = 55;
}

void named(TagStatus& s, const char* one, const char* two) {
    busyStatus(s);
    text::copy(s.extraName1, one);
    text::copy(s.extraName2, two);
}

TEST(StatusReplies, TriloFamilies) {
    run<TagStatus>({
        {"family 2, every field", kKindStatus, 0x0205, 0, "03D 001 002 E00 MV 1234 0F A0 MO",
         busyStatus,
         [](TagStatus& s) {
             s.function = 1;
             s.stage = 2;
             s.position = 1234;
             s.inputs = 0x0F;
             s.outputs = 0xA0;
             s.moving = 1;
             s.power = 1;
         }},
        {"fifth word XX: not moving, power off", kKindStatus, 0x0205, 0,
         "03D 000 000 E00 XX -5 00 00 MF", busyStatus,
         [](TagStatus& s) {
             s.function = 0;
             s.stage = 0;
             s.position = -5;
             s.inputs = 0;
             s.outputs = 0;
             s.moving = 0;
             s.power = 0;
         }},
        {"stage 255: not moving", kKindStatus, 0x0100, 0, "03D 004 255 E00 MV 400 01 02 MO",
         busyStatus,
         [](TagStatus& s) {
             s.function = 4;
             s.stage = 255;
             s.position = 400;
             s.inputs = 1;
             s.outputs = 2;
             s.moving = 0;
         }},
        {"family 4 moving", kKindStatus, 0x0408, 0, "03D 000 000 E10 MV 1 FF 00 MO",
         [](TagStatus& s) {
             busyStatus(s);
             s.moving = 0;
         },
         [](TagStatus& s) {
             s.function = 0;
             s.stage = 0;
             s.position = 1;
             s.inputs = 0xFF;
             s.outputs = 0;
             s.moving = 1;
         }},
        {"cut after the stage: the rest and the flags stay", kKindStatus, 0x0205, 0, "03D 007 003",
         busyStatus,
         [](TagStatus& s) {
             s.function = 7;
             s.stage = 3;
         }},
        {"position not a number: stops there", kKindStatus, 0x0205, 0,
         "03D 001 002 E00 XX pos 0F A0 MO", busyStatus,
         [](TagStatus& s) {
             s.function = 1;
             s.stage = 2;
             s.moving = 0;
         }},
        {"not a status reply", kKindStatus, 0x0205, 0, "hello", busyStatus, nullptr},
        {"empty reply", kKindStatus, 0x0205, 0, "", busyStatus, nullptr},
    });
}

TEST(StatusReplies, MicroTrilo) {
    run<TagStatus>({
        {"every field, inputs and outputs turned back", kKindStatus, 0x1002, 0,
         "03#CPA=500 #IN=254 #OUT=0 #_STATUS=16777216 #_ERR=3 #_SNSP=513", busyStatus,
         [](TagStatus& s) {
             s.position = 500;
             s.inputs = 1;
             s.outputs = 255;
             s.statusWord = 16777216;
             s.power = 1;
             s.errorCode = 3;
             s.function = 2;
             s.stage = 1;
             s.execute = 2001;
             s.extraValue1 = 0;
             s.extraValue2 = 0;
         }},
        {"all eight inputs reported 255 are none", kKindStatus, 0x1002, 0,
         "03#CPA=0 #IN=255 #OUT=255 #_STATUS=0 #_ERR=0 #_SNSP=0", busyStatus,
         [](TagStatus& s) {
             s.position = 0;
             s.inputs = 0;
             s.outputs = 0;
             s.statusWord = 0;
             s.power = 0;
             s.errorCode = 0;
             s.function = 0;
             s.stage = 0;
             s.execute = 0;
             s.extraValue1 = 0;
             s.extraValue2 = 0;
         }},
        {"two extras", kKindStatus, 0x1002, 0,
         "03#CPA=1 #IN=255 #OUT=255 #_STATUS=0 #_ERR=0 #_SNSP=0 #TEMP=35 #VSUPPLY=24000",
         [](TagStatus& s) { named(s, "TEMP", "VSUPPLY"); },
         [](TagStatus& s) {
             s.position = 1;
             s.inputs = 0;
             s.outputs = 0;
             s.statusWord = 0;
             s.power = 0;
             s.errorCode = 0;
             s.function = 0;
             s.stage = 0;
             s.execute = 0;
             s.extraValue1 = 35;
             s.extraValue2 = 24000;
         }},
        {"only the second extra named: it takes the first value", kKindStatus, 0x1002, 0,
         "03#CPA=1 #IN=255 #OUT=255 #_STATUS=0 #_ERR=0 #_SNSP=0 #TEMP=35",
         [](TagStatus& s) { named(s, "none", "TEMP"); },
         [](TagStatus& s) {
             s.position = 1;
             s.inputs = 0;
             s.outputs = 0;
             s.statusWord = 0;
             s.power = 0;
             s.errorCode = 0;
             s.function = 0;
             s.stage = 0;
             s.execute = 0;
             s.extraValue1 = 0;
             s.extraValue2 = 35;
         }},
        {"an extra under another name does not match", kKindStatus, 0x1002, 0,
         "03#CPA=1 #IN=255 #OUT=255 #_STATUS=0 #_ERR=0 #_SNSP=0 #TEMPX=35",
         [](TagStatus& s) { named(s, "TEMP", "none"); },
         [](TagStatus& s) {
             s.position = 1;
             s.inputs = 0;
             s.outputs = 0;
             s.statusWord = 0;
             s.power = 0;
             s.errorCode = 0;
             s.function = 0;
             s.stage = 0;
             s.execute = 0;
             s.extraValue1 = 0;
             s.extraValue2 = 0;
         }},
        {"extras left out when the record says so", kKindStatus, 0x1002, 0,
         "03#CPA=1 #IN=255 #OUT=255 #_STATUS=0 #_ERR=0 #_SNSP=0 #TEMP=35",
         [](TagStatus& s) {
             named(s, "TEMP", "none");
             s.noExtras = 1;
         },
         [](TagStatus& s) {
             s.position = 1;
             s.inputs = 0;
             s.outputs = 0;
             s.statusWord = 0;
             s.power = 0;
             s.errorCode = 0;
             s.function = 0;
             s.stage = 0;
             s.execute = 0;
             s.extraValue1 = 0;
             s.extraValue2 = 0;
         }},
        {"breaks after the position: inputs are not turned over", kKindStatus, 0x1002, 0,
         "03#CPA=77 #IX=1", busyStatus,
         [](TagStatus& s) {
             s.position = 77;
             s.extraValue1 = 0;
             s.extraValue2 = 0;
         }},
    });
}

TEST(StatusReplies, Vrx23AndVrx34SubReads) {
    // Every sub-read tells the power as unknown: these families' replies carry no flag.
    auto cleared = [](TagStatus& s) {
        s.power = kPowerUnknown;
        s.errorCode = 0;
        s.execute = 0;
        s.statusWord = 0;
    };
    run<TagStatus>({
        {"1: position", kKindStatus, 0x3001, 1, "03p 1500", busyStatus,
         [&](TagStatus& s) {
             cleared(s);
             s.position = 1500;
         }},
        {"2: read, not kept", kKindStatus, 0x4001, 2, "03x 55", busyStatus, cleared},
        {"3: status word, inputs and stage", kKindStatus, 0x3001, 3, "03a 1234", busyStatus,
         [&](TagStatus& s) {
             cleared(s);
             s.statusWord = 0x1234;
             s.inputs = 0x23;
             s.stage = 0x23;
             s.function = 0;
         }},
        {"3: no number", kKindStatus, 0x4001, 3, "03a zz", busyStatus, cleared},
        {"1: no number", kKindStatus, 0x3001, 1, "03p", busyStatus, cleared},
    });
}

TEST(StatusReplies, Vrx17SubReads) {
    run<TagStatus>({
        {"1 position", kKindStatus, 0x5000, 1, "03POS 42", busyStatus,
         [](TagStatus& s) { s.position = 42; }},
        {"2 inputs", kKindStatus, 0x5000, 2, "03INP 3", busyStatus,
         [](TagStatus& s) { s.inputs = 3; }},
        {"3 outputs", kKindStatus, 0x5000, 3, "03OUT 12", busyStatus,
         [](TagStatus& s) { s.outputs = 12; }},
        {"4 execute", kKindStatus, 0x5000, 4, "03LIN 2005", busyStatus,
         [](TagStatus& s) { s.execute = 2005; }},
        {"5 status word and power", kKindStatus, 0x5000, 5, "03STA 0", busyStatus,
         [](TagStatus& s) {
             s.statusWord = 0;
             s.power = 0;
         }},
        {"6 error", kKindStatus, 0x5000, 6, "03ERR 9", busyStatus,
         [](TagStatus& s) { s.errorCode = 9; }},
        {"7 first extra", kKindStatus, 0x5000, 7, "03#TEMP=40",
         [](TagStatus& s) { named(s, "TEMP", "none"); }, [](TagStatus& s) { s.extraValue1 = 40; }},
        {"8 second extra unused", kKindStatus, 0x5000, 8, "03#TEMP=40",
         [](TagStatus& s) { named(s, "TEMP", "none"); }, nullptr},
        {"8 second extra", kKindStatus, 0x5000, 8, "03#VS=12",
         [](TagStatus& s) { named(s, "none", "VS"); }, [](TagStatus& s) { s.extraValue2 = 12; }},
        {"5 without a number keeps power", kKindStatus, 0x5000, 5, "03STA", busyStatus, nullptr},
        {"sub-index outside", kKindStatus, 0x5000, 9, "03POS 42", busyStatus, nullptr},
    });
}

TEST(StatusReplies, Dvrx) {
    run<TagStatus>({
        {"every field", kKindStatus, 0x6020, 0,
         "03#POS=10,#INP=3,#STA=16777216,#OUT=5,#LIN=7,#ERR=2", busyStatus,
         [](TagStatus& s) {
             s.position = 10;
             s.inputs = 3;
             s.statusWord = 16777216;
             s.power = 1;
             s.outputs = 5;
             s.execute = 7;
             s.errorCode = 2;
             s.extraValue1 = 0;
             s.extraValue2 = 0;
         }},
        {"extra under its short name", kKindStatus, 0x6020, 0,
         "03#POS=10,#INP=3,#STA=0,#OUT=5,#LIN=7,#ERR=0,#CTE=41,#VSU=23",
         [](TagStatus& s) { named(s, "CPU_TEMPERATURE", "V_SUPPLY"); },
         [](TagStatus& s) {
             s.position = 10;
             s.inputs = 3;
             s.statusWord = 0;
             s.power = 0;
             s.outputs = 5;
             s.execute = 7;
             s.errorCode = 0;
             s.extraValue1 = 41;
             s.extraValue2 = 23;
         }},
        {"extra under its full name does not match", kKindStatus, 0x6020, 0,
         "03#POS=10,#INP=3,#STA=0,#OUT=5,#LIN=7,#ERR=0,#CPU_TEMPERATURE=41",
         [](TagStatus& s) { named(s, "CPU_TEMPERATURE", "none"); },
         [](TagStatus& s) {
             s.position = 10;
             s.inputs = 3;
             s.statusWord = 0;
             s.power = 0;
             s.outputs = 5;
             s.execute = 7;
             s.errorCode = 0;
             s.extraValue1 = 0;
             s.extraValue2 = 0;
         }},
        {"breaks after the position", kKindStatus, 0x6020, 0, "03#POS=10,#INP=x", busyStatus,
         [](TagStatus& s) {
             s.position = 10;
             s.extraValue1 = 0;
             s.extraValue2 = 0;
         }},
        {"unknown family changes nothing", kKindStatus, 0x7001, 0,
         "03#POS=10,#INP=3,#STA=0,#OUT=5,#LIN=7,#ERR=0", busyStatus, nullptr},
    });
}

void busyParams(TagParamBlock& p) {
    p.resolution = 9;
    p.startSpeed = 9;
    p.maxSpeed = 9;
    p.rampTime = 9;
    p.decelTime = 8;
    p.separateDecel = 1;
    p.currentCode = 9;
    p.standbyMode = 2;
    p.indicators = 0x0C;
    p.currentFactor = 1.5F;
}

TEST(ParameterReplies, EveryFormat) {
    run<TagParamBlock>({
        {"family 1", kKindParameters, 0x0100, 0, "03L 100 2000 200 N 1 128 0 5", busyParams,
         [](TagParamBlock& p) {
             p.startSpeed = 100;
             p.maxSpeed = 2000;
             p.rampTime = 200;
             p.currentCode = 128;
             p.resolution = 1;
             p.separateDecel = 0;
         }},
        {"family 1, cut after the maximum speed", kKindParameters, 0x0100, 0, "03L 100 2000",
         busyParams,
         [](TagParamBlock& p) {
             p.startSpeed = 100;
             p.maxSpeed = 2000;
             p.resolution = 1;
             p.separateDecel = 0;
         }},
        {"labelled, one ramp", kKindParameters, 0x0205, 0,
         "03L WL:100 WH:2000 WT:200 WN:2 DR:0 GI:128 DG:0 MD:RN MN L", busyParams,
         [](TagParamBlock& p) {
             p.startSpeed = 100;
             p.maxSpeed = 2000;
             p.rampTime = 200;
             p.decelTime = 200;
             p.separateDecel = 0;
             p.resolution = 2;
             p.currentCode = 128;
             p.standbyMode = 0;
             p.indicators = 0x0C;
         }},
        {"labelled, separate deceleration, standby, sensors, reverse", kKindParameters, 0x1002, 0,
         "03L WL:10 WH:900 WT:150:300 WN:16 DR:1 GI:64 DG:7 MD:DS MB H",
         [](TagParamBlock& p) {
             busyParams(p);
             p.indicators = 0;
             p.separateDecel = 0;
         },
         [](TagParamBlock& p) {
             p.startSpeed = 10;
             p.maxSpeed = 900;
             p.rampTime = 150;
             p.decelTime = 300;
             p.separateDecel = 1;
             p.resolution = 16;
             p.currentCode = 64;
             p.standbyMode = 1;
             p.indicators = 3;
         }},
        {"labelled, boost", kKindParameters, 0x0308, 0,
         "03L WL:1 WH:2 WT:3 WN:4 DR:0 GI:5 DG:0 MD:RB MN L", busyParams,
         [](TagParamBlock& p) {
             p.startSpeed = 1;
             p.maxSpeed = 2;
             p.rampTime = 3;
             p.decelTime = 3;
             p.separateDecel = 0;
             p.resolution = 4;
             p.currentCode = 5;
             p.standbyMode = 2;
             p.indicators = 0x0C;
         }},
        {"labelled, unknown standby letter is nominal", kKindParameters, 0x0408, 0,
         "03L WL:1 WH:2 WT:3 WN:4 DR:0 GI:5 DG:0 MD:RQ XX Z", busyParams,
         [](TagParamBlock& p) {
             p.startSpeed = 1;
             p.maxSpeed = 2;
             p.rampTime = 3;
             p.decelTime = 3;
             p.separateDecel = 0;
             p.resolution = 4;
             p.currentCode = 5;
             p.standbyMode = 0;
         }},
        {"labelled, breaks at WH", kKindParameters, 0x0205, 0, "03L WL:5 WH:x WT:3", busyParams,
         [](TagParamBlock& p) { p.startSpeed = 5; }},
        {"family 0x30 has no parameter block", kKindParameters, 0x3001, 0,
         "03L WL:100 WH:2000 WT:200 WN:2 DR:0 GI:128 DG:0 MD:RN MN L", busyParams, nullptr},
    });
}

void busyMode(TagSpecificMode& m) {
    m.dataValid = 0;
    m.powerOnFunction = 77;
    m.endSensors = 1;
    m.slidingDistance = 77;
    m.reverseInputs = 0;
    m.autoOutput = 1;
    m.autoOutputSettings = 0x1234;
    m.setPosition = 5;
    m.resetPosition = 6;
}

TEST(SpecificModeReplies, EveryMember) {
    run<TagSpecificMode>({
        {"0x21 power-on function", kKindPowerOnFunction, 0x0205, 0, "03M 05", busyMode,
         [](TagSpecificMode& m) { m.powerOnFunction = 5; }},
        {"0x21 no value", kKindPowerOnFunction, 0x0205, 0, "03M", busyMode, nullptr},
        {"0x22 sensor bit clear", kKindEndSensorCell, 0x0100, 0, "03M 00", busyMode,
         [](TagSpecificMode& m) { m.endSensors = 0; }},
        {"0x22 sensor bit set among others", kKindEndSensorCell, 0x0100, 0, "03M 3F",
         [](TagSpecificMode& m) {
             busyMode(m);
             m.endSensors = 0;
         },
         [](TagSpecificMode& m) { m.endSensors = 1; }},
        {"0x22 not a number", kKindEndSensorCell, 0x0100, 0, "03M ZZ", busyMode, nullptr},
        {"0x23 sliding from the short form", kKindSlidingShort, 0x0100, 0,
         "03L 100 2000 200 N 1 128 0 25", busyMode,
         [](TagSpecificMode& m) {
             m.slidingDistance = 25;
             m.dataValid = 1;
         }},
        {"0x23 cut short", kKindSlidingShort, 0x0100, 0, "03L 100 2000", busyMode,
         [](TagSpecificMode& m) { m.dataValid = 1; }},
        {"0x24 labelled", kKindSpecificLabelled, 0x0205, 0,
         "03L WL:100 WH:2000 WT:200 WN:2 DR:0 GI:128 DG:40 MD:DN MB H", busyMode,
         [](TagSpecificMode& m) {
             m.slidingDistance = 40;
             m.endSensors = 1;
             m.reverseInputs = 1;
             m.dataValid = 1;
         }},
        {"0x24 sensors off, low", kKindSpecificLabelled, 0x1002, 0,
         "03L WL:100 WH:2000 WT:200:100 WN:2 DR:0 GI:128 DG:0 MD:RN MN L", busyMode,
         [](TagSpecificMode& m) {
             m.slidingDistance = 0;
             m.endSensors = 0;
             m.reverseInputs = 0;
             m.dataValid = 1;
         }},
        {"0x25 automatic outputs on", kKindAutoOutput, 0x0308, 0, "03C GL:0F:F0 +A GP:100:200 MP",
         busyMode,
         [](TagSpecificMode& m) {
             m.autoOutputSettings = static_cast<int32_t>(0xF00F001FU);
             m.setPosition = 100;
             m.resetPosition = 200;
             m.autoOutput = 1;
             m.dataValid = 1;
         }},
        {"0x25 idle setting is off", kKindAutoOutput, 0x1002, 0, "03C GL:00:FF R GP:0:0 .",
         busyMode,
         [](TagSpecificMode& m) {
             m.autoOutputSettings = static_cast<int32_t>(0xFF000000U);
             m.setPosition = 0;
             m.resetPosition = 0;
             m.autoOutput = 0;
             m.dataValid = 1;
         }},
        {"0x25 minus and a later R", kKindAutoOutput, 0x0408, 0, "03C GL:01:02 A-R GP:0:0 M",
         busyMode,
         [](TagSpecificMode& m) {
             m.autoOutputSettings = 4 + 8 + 0x10000 + 0x2000000;
             m.setPosition = 0;
             m.resetPosition = 0;
             m.autoOutput = 1;
             m.dataValid = 1;
         }},
        {"0x25 not for family 2", kKindAutoOutput, 0x0205, 0, "03C GL:0F:F0 +A GP:100:200 MP",
         busyMode, nullptr},
        // Where a family has no read of its own the filler "QX" goes out, and whatever comes
        // back is the module's error report: it is never taken for the value, even when it
        // would scan, and the record is not marked valid.
        {"QX filler: family 1 has no labelled read", kKindSpecificLabelled, 0x0100, 0,
         "03L WL:100 WH:2000 WT:200 WN:2 DR:0 GI:128 DG:40 MD:DN MB H", busyMode, nullptr},
        {"QX filler: family 2 has no short sliding read", kKindSlidingShort, 0x0205, 0,
         "03L 100 2000 200 N 1 128 0 25", busyMode, nullptr},
        {"QX filler: the error report itself", kKindSpecificLabelled, 0x0100, 0, "03X 00", busyMode,
         nullptr},
    });
}

void busyV(TagV2334Settings& v) {
    v.bn = 1;
    v.bp = 1;
    v.gi = 1;
    v.wh = 1;
    v.wt = 1;
    v.wl = 1;
    v.dg = 1;
    v.ms = 0;
    v.flagR = 1;
    v.flagS = 1;
}

TEST(V2334Replies, SettingsSubReads) {
    run<TagV2334Settings>({
        {"1 with mbr", kKindV2334Read, 0x3001, 1, "03l wl:10 wh:200 wt:50 gi:30 dg:5 md:s mbr",
         busyV,
         [](TagV2334Settings& v) {
             v.wl = 10;
             v.wh = 200;
             v.wt = 50;
             v.gi = 30;
             v.dg = 5;
             v.ms = 1;
             v.flagR = 1;
             v.flagS = 0;
         }},
        {"1 with mb", kKindV2334Read, 0x4001, 1, "03l wl:1 wh:2 wt:3 gi:4 dg:5 md:n mb",
         [](TagV2334Settings& v) {
             busyV(v);
             v.flagR = 0;
             v.flagS = 0;
             v.ms = 1;
         },
         [](TagV2334Settings& v) {
             v.wl = 1;
             v.wh = 2;
             v.wt = 3;
             v.gi = 4;
             v.dg = 5;
             v.ms = 0;
             v.flagR = 1;
             v.flagS = 1;
         }},
        {"1 with mbs", kKindV2334Read, 0x3001, 1, "03l wl:1 wh:2 wt:3 gi:4 dg:5 md:s mbs", busyV,
         [](TagV2334Settings& v) {
             v.wl = 1;
             v.wh = 2;
             v.wt = 3;
             v.gi = 4;
             v.dg = 5;
             v.ms = 1;
             v.flagR = 0;
         }},
        {"1 breaks at wh", kKindV2334Read, 0x3001, 1, "03l wl:10 wh:x", busyV,
         [](TagV2334Settings& v) { v.wl = 10; }},
        {"2 brake numbers", kKindV2334Read, 0x4001, 2, "03b bn:3 bp:4", busyV,
         [](TagV2334Settings& v) {
             v.bn = 3;
             v.bp = 4;
         }},
        {"2 not matching", kKindV2334Read, 0x4001, 2, "03b bx:3", busyV, nullptr},
        {"not a VRX23/VRX34", kKindV2334Read, 0x6020, 2, "03b bn:3 bp:4", busyV, nullptr},
    });
}

void busyMotion(TagMotion& m) {
    m.statusWord = 1;
    m.negativeEnd = 1;
    m.positiveEnd = 1;
    m.torqueRatio = 1;
    m.lowTorque = 1;
    m.lowSpeed = 1;
    m.highSpeed = 1;
    m.accelTime = 1;
    m.decelTime = 1;
    m.optimizedCurrent = 0;
    m.standbyMode = 1;
    m.hardEnds = 0;
    m.softEnds = 0;
}

TEST(MotionReplies, DvrxAndVrx17) {
    run<TagMotion>({
        {"DVRX every field", kKindMotionRead, 0x6020, 0,
         "03#STA=104,#NEN=-100,#PEN=100,#TRA=50,#LSP=10,#HSP=1000,#ATI=20,#DTI=30", busyMotion,
         [](TagMotion& m) {
             m.statusWord = 104;
             m.negativeEnd = -100;
             m.positiveEnd = 100;
             m.torqueRatio = 50;
             m.lowSpeed = 10;
             m.highSpeed = 1000;
             m.accelTime = 20;
             m.decelTime = 30;
             m.standbyMode = 0;
             m.optimizedCurrent = 1;
             m.hardEnds = 1;
             m.softEnds = 1;
         }},
        {"DVRX breaks after the status", kKindMotionRead, 0x6020, 0, "03#STA=0,#NEN=x", busyMotion,
         [](TagMotion& m) {
             m.statusWord = 0;
             m.standbyMode = 0;
         }},
        {"VRX17 1 status", kKindMotionRead, 0x5000, 1, "03#STA=33", busyMotion,
         [](TagMotion& m) {
             m.statusWord = 33;
             m.standbyMode = 1;
             m.optimizedCurrent = 0;
             m.hardEnds = 1;
             m.softEnds = 0;
         }},
        {"VRX17 2 negative end", kKindMotionRead, 0x5000, 2, "03#NEN=-9", busyMotion,
         [](TagMotion& m) { m.negativeEnd = -9; }},
        {"VRX17 2 with the wrong name", kKindMotionRead, 0x5000, 2, "03#PEN=5", busyMotion,
         nullptr},
        {"VRX17 3 positive end", kKindMotionRead, 0x5000, 3, "03#PEN=9", busyMotion,
         [](TagMotion& m) { m.positiveEnd = 9; }},
        {"VRX17 4 torque", kKindMotionRead, 0x5000, 4, "03#TRA=70", busyMotion,
         [](TagMotion& m) { m.torqueRatio = 70; }},
        {"VRX17 5 low torque", kKindMotionRead, 0x5000, 5, "03#LTO=12", busyMotion,
         [](TagMotion& m) { m.lowTorque = 12; }},
        {"VRX17 6 low speed", kKindMotionRead, 0x5000, 6, "03#LSP=13", busyMotion,
         [](TagMotion& m) { m.lowSpeed = 13; }},
        {"VRX17 7 high speed", kKindMotionRead, 0x5000, 7, "03#HSP=14", busyMotion,
         [](TagMotion& m) { m.highSpeed = 14; }},
        {"VRX17 8 acceleration", kKindMotionRead, 0x5000, 8, "03#RTI=77", busyMotion,
         [](TagMotion& m) { m.accelTime = 77; }},
        {"VRX17 status without number keeps the flags", kKindMotionRead, 0x5000, 1,
         "03#STA=", busyMotion, nullptr},
    });
}

TEST(VariableReplies, OneAndTwoValues) {
    auto busy = [](TagVariableValue& v) {
        v.value = -1;
        v.second = -2;
    };
    run<TagVariableValue>({
        {"one value", kKindVariableBase + 5, 0x1002, 0, "03N#05:100", busy,
         [](TagVariableValue& v) {
             v.value = 100;
             v.second = 100;
         }},
        {"two values", kKindVariableBase + 5, 0x0205, 0, "03N#05:100,(7", busy,
         [](TagVariableValue& v) {
             v.value = 100;
             v.second = 7;
         }},
        {"no value", kKindVariableBase + 5, 0x0205, 0, "03N#05", busy, nullptr},
        {"no value after the colon", kKindVariableBase + 5, 0x0205, 0, "03N#05:", busy, nullptr},
        {"family 1 reads no variables", kKindVariableBase + 5, 0x0100, 0, "03N#05:100", busy,
         nullptr},
    });
}

} // namespace
