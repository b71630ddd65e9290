// Line backup from the command line on the virtual line: the backup of the demo line, a
// comparison that finds exactly what was changed, a restore that writes exactly that and
// reads it back, a dry run that writes nothing, a replaced module, and a module that
// stops answering in the middle of its restore.
#include "tool_fixture.h"

#include <backup/backup_file.h>

#include <algorithm>
#include <atomic>
#include <fstream>
#include <set>

namespace toolstest {
namespace {

using tamsel::backup::LinePicture;
using tamsel::backup::ModuleRecord;

constexpr std::uint8_t kStx = 0x02;
constexpr std::uint8_t kEtx = 0x03;

/// The command texts the program sent (framing removed), in order.
std::vector<std::string> commandsOf(const std::vector<kvsim::LogEntry>& log) {
    std::vector<std::string> out;
    bool inFrame = false;
    std::string frame;
    for (const kvsim::LogEntry& e : log) {
        if (e.direction != kvsim::Direction::ToModules) {
            continue;
        }
        if (e.byte == kStx) {
            inFrame = true;
            frame.clear();
        } else if (e.byte == kEtx && inFrame) {
            inFrame = false;
            // three length digits, the text, two checksum digits
            out.push_back(frame.size() >= 5 ? frame.substr(3, frame.size() - 5) : std::string());
        } else if (inFrame) {
            frame += static_cast<char>(e.byte);
        }
    }
    return out;
}

/// Whether a command (address digits first) only reads: the read commands of the families
/// on the line begin with Q or R ("QL", "RV", "REA #POS"), their writes never do.
bool isRead(const std::string& command) {
    return command.size() > 2 && (command[2] == 'Q' || command[2] == 'R');
}

std::vector<std::string> writesOf(const std::vector<kvsim::LogEntry>& log) {
    std::vector<std::string> out;
    for (const std::string& c : commandsOf(log)) {
        if (!isRead(c)) {
            out.push_back(c);
        }
    }
    return out;
}

class Backup : public ToolLine {
  protected:
    fs::path file(const std::string& name) const { return root() / name; }

    Outcome backup(const fs::path& to, std::vector<std::string> more = {}) const {
        std::vector<std::string> args{"backup", to.string()};
        for (const std::string& a : demoLine(std::move(more))) {
            args.push_back(a);
        }
        return run(args);
    }
    Outcome onLine(const std::string& command, const fs::path& f,
                   std::vector<std::string> more = {}) const {
        std::vector<std::string> args{command, f.string()};
        for (const std::string& a : demoLine(std::move(more))) {
            args.push_back(a);
        }
        return run(args);
    }
    static LinePicture read(const fs::path& f) {
        const tamsel::backup::LoadResult r = tamsel::backup::loadPicture(f);
        EXPECT_TRUE(r.usable) << f;
        EXPECT_TRUE(r.messages.empty()) << r.messages.front().text;
        return r.picture;
    }
    void send(const std::vector<std::string>& commands) const {
        std::vector<std::string> args{"send"};
        for (const std::string& a : demoLine(commands)) {
            args.push_back(a);
        }
        const Outcome out = run(args);
        ASSERT_EQ(out.exitCode, 0) << out.err << out.out;
    }
    /// The settings that are not equal in a --json comparison: address, key, backup, line.
    static std::set<std::tuple<int, std::string, std::string, std::string>>
    differences(const std::vector<JsonObject>& objs) {
        std::set<std::tuple<int, std::string, std::string, std::string>> out;
        for (const JsonObject& o : objs) {
            if (o.count("setting") != 0 && o.at("state").text != "equal") {
                out.insert({static_cast<int>(o.at("address").number()), o.at("setting").text,
                            o.at("backup").text, o.at("line").text});
            }
        }
        return out;
    }
    static std::map<int, std::string> moduleStates(const std::vector<JsonObject>& objs) {
        std::map<int, std::string> out;
        for (const JsonObject& o : objs) {
            if (o.count("module") != 0) {
                out[static_cast<int>(o.at("address").number())] = o.at("module").text;
            }
        }
        return out;
    }
};

TEST_F(Backup, TheDemoLineGoesIntoTheFileAsItsModulesHoldIt) {
    startLine("demo.line");
    const fs::path f = file("demo.backup");
    const Outcome out = backup(f, {"--to", "6", "--variables", "5", "--also-target", "VRX23"});
    ASSERT_EQ(out.exitCode, 0) << out.err;
    const LinePicture p = read(f);
    EXPECT_EQ(p.line, std::string("TRILO COM7 ") + kXon + " 9600");
    EXPECT_EQ(p.firstAddress, 0);
    EXPECT_EQ(p.lastAddress, 6);
    ASSERT_EQ(p.modules.size(), 7U);
    for (int address = 0; address <= 5; ++address) {
        const ModuleRecord* m = p.module(address);
        ASSERT_NE(m, nullptr);
        const auto snap = line->module(address);
        ASSERT_TRUE(m->answered) << address;
        EXPECT_EQ(m->typeCode, snap->setup.typeCode) << address;
        EXPECT_TRUE(m->unread.empty()) << address << " " << m->unread.front();
        EXPECT_FALSE(m->settings.empty()) << address;
        EXPECT_EQ(m->target, address <= 3 ? "TRILO" : "VRX23") << address;
        // The serial number where the identity carries one.
        if (address > 0) {
            EXPECT_EQ(m->serial, std::to_string(snap->setup.serial)) << address;
        }
    }
    // The values are the modules' own.
    const auto trilo = line->module(0);
    EXPECT_EQ(p.module(0)->settings.at("parameters.max_speed"), trilo->parameters.at("WH"));
    EXPECT_EQ(p.module(0)->settings.at("parameters.start_speed"), trilo->parameters.at("WL"));
    EXPECT_EQ(p.module(0)->settings.at("variable.05"), 0);
    EXPECT_EQ(p.module(1)->settings.at("parameters.current_code"),
              line->module(1)->parameters.at("GI"));
    EXPECT_EQ(p.module(2)->settings.at("motion.torque_ratio"),
              line->module(2)->variables.at("TORQUE_RATIO"));
    EXPECT_EQ(p.module(3)->settings.at("motion.positive_end"),
              line->module(3)->variables.at("POSITIVE_END"));
    EXPECT_EQ(p.module(4)->settings.count("panel.torque"), 1U);
    EXPECT_FALSE(p.module(6)->answered);
    // One line a module on the output; no temporary file is left beside the backup.
    EXPECT_EQ(linesOf(out.out).size(), 7U) << out.out;
    for (const auto& e : fs::directory_iterator(root())) {
        EXPECT_EQ(e.path().filename().string().rfind(".demo.backup", 0), std::string::npos)
            << e.path();
    }
}

TEST_F(Backup, CompareFindsTheTwoChangedSettingsAndRestoreWritesOnlyThem) {
    startLine("demo.line");
    const fs::path f = file("two.backup");
    ASSERT_EQ(backup(f, {"--to", "3", "--variables", "5"}).exitCode, 0);
    const long maxSpeed = line->module(1)->parameters.at("WH");
    send({"01WH1500", "01PD #05:42"});

    const Outcome cmp = onLine("compare", f, {"--json"});
    EXPECT_EQ(cmp.exitCode, 1) << cmp.err;
    const auto objs = objects(cmp);
    using Row = std::tuple<int, std::string, std::string, std::string>;
    EXPECT_EQ(differences(objs),
              (std::set<Row>{{1, "parameters.max_speed", std::to_string(maxSpeed), "1500"},
                             {1, "variable.05", "0", "42"}}));
    EXPECT_EQ(moduleStates(objs), (std::map<int, std::string>{
                                      {0, "same"}, {1, "different"}, {2, "same"}, {3, "same"}}));

    line->clearLog();
    const Outcome res = onLine("restore", f);
    ASSERT_EQ(res.exitCode, 0) << res.err << res.out;
    const std::vector<std::string> writes = writesOf(line->log());
    ASSERT_EQ(writes.size(), 2U) << res.out;
    EXPECT_EQ(writes[0].rfind("01GS,", 0), 0U) << writes[0];
    EXPECT_NE(writes[0].find("WH" + std::to_string(maxSpeed) + ","), std::string::npos)
        << writes[0];
    EXPECT_EQ(writes[1], "01PD  #05:0 ");
    EXPECT_EQ(line->module(1)->parameters.at("WH"), maxSpeed);
    EXPECT_EQ(line->module(1)->variables.at("#05"), 0);

    const Outcome again = onLine("compare", f);
    EXPECT_EQ(again.exitCode, 0) << again.out;
    EXPECT_EQ(linesOf(again.out).back(), "equal: 4 modules as in the backup");
}

TEST_F(Backup, ADryRunListsTheChangesAndWritesNothing) {
    startLine("demo.line");
    const fs::path f = file("dry.backup");
    ASSERT_EQ(backup(f, {"--to", "3"}).exitCode, 0);
    send({"00WL150"});
    line->clearLog();
    const Outcome dry = onLine("restore", f, {"--dry-run", "--json"});
    ASSERT_EQ(dry.exitCode, 0) << dry.err;
    int planned = 0;
    for (const JsonObject& o : objects(dry)) {
        if (o.count("setting") != 0) {
            ++planned;
            EXPECT_EQ(o.at("address").number(), 0);
            EXPECT_EQ(o.at("setting").text, "parameters.start_speed");
            EXPECT_EQ(o.at("was").number(), 150);
            EXPECT_EQ(o.at("state").text, "to write");
        }
    }
    EXPECT_EQ(planned, 1) << dry.out;
    EXPECT_TRUE(writesOf(line->log()).empty());
    EXPECT_FALSE(commandsOf(line->log()).empty());
    EXPECT_EQ(line->module(0)->parameters.at("WL"), 150);
}

TEST_F(Backup, FrameModulesAreComparedAndRestoredAsTheTargetTheyAnsweredAs) {
    startLine("demo.line");
    const fs::path f = file("frames.backup");
    const Outcome b = backup(f, {"--to", "5", "--also-target", "VRX23"});
    ASSERT_EQ(b.exitCode, 0) << b.err;
    const long torque = read(f).module(4)->settings.at("panel.torque");
    ASSERT_NE(torque, 40);
    const Outcome changed = run({"send", "--port", kPort, "--target", "VRX23", "04gi 40"});
    ASSERT_EQ(changed.exitCode, 0) << changed.err;

    const Outcome cmp = onLine("compare", f, {"--json"});
    EXPECT_EQ(cmp.exitCode, 1) << cmp.err;
    using Row = std::tuple<int, std::string, std::string, std::string>;
    EXPECT_EQ(differences(objects(cmp)),
              (std::set<Row>{{4, "panel.torque", std::to_string(torque), "40"}}));
    const Outcome res = onLine("restore", f);
    ASSERT_EQ(res.exitCode, 0) << res.out;
    EXPECT_NE(res.out.find("module 04: restored"), std::string::npos) << res.out;
    EXPECT_EQ(onLine("compare", f).exitCode, 0);
}

TEST_F(Backup, AValueEditedOutOfRangeIsToldAndNeverWritten) {
    startLine("demo.line");
    const fs::path f = file("edited.backup");
    ASSERT_EQ(backup(f, {"--to", "1"}).exitCode, 0);
    const long maxSpeed = line->module(1)->parameters.at("WH");
    send({"01WH1500"});
    // The module's maximum speed edited by hand beyond what the window allows.
    std::string text;
    {
        std::ifstream in(f);
        text.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }
    const std::string old = "parameters.max_speed = " + std::to_string(maxSpeed) + "\n";
    const std::size_t at = text.find(old, text.find("[module 01]"));
    ASSERT_NE(at, std::string::npos);
    text.replace(at, old.size(), "parameters.max_speed = 20001\n");
    {
        std::ofstream out(f, std::ios::trunc);
        out << text;
    }
    const int lineNumber = static_cast<int>(std::count(text.begin(), text.begin() + at, '\n')) + 1;
    line->clearLog();
    const Outcome res = onLine("restore", f);
    EXPECT_EQ(res.exitCode, 0) << res.out;
    EXPECT_NE(res.err.find(f.string() + ":" + std::to_string(lineNumber) +
                           ": parameters.max_speed of module 01: 20001 is outside 1 to 20000"),
              std::string::npos)
        << res.err;
    EXPECT_TRUE(writesOf(line->log()).empty());
    EXPECT_EQ(line->module(1)->parameters.at("WH"), 1500);
}

TEST_F(Backup, MistakesOnTheCommandLineAndUnreadableFiles) {
    startLine("demo.line");
    const fs::path f = file("usage.backup");
    ASSERT_EQ(backup(f, {"--to", "0"}).exitCode, 0);
    struct Case {
        std::vector<std::string> args;
        int exitCode;
        const char* says;
    };
    const Case cases[] = {
        {{"backup", "--port", kPort}, 2, "one operand"},
        {{"backup", f.string(), "--port", kPort, "--variables", "0"}, 2, "--variables"},
        {{"compare"}, 2, "backup FILE"},
        {{"compare", f.string(), f.string(), "--port", kPort}, 2, "not both"},
        {{"restore", f.string(), f.string(), "--port", kPort}, 2, "one operand"},
        // An unreadable file is no difference: compare keeps status 1 for those.
        {{"restore", (root() / "none.backup").string(), "--port", kPort}, 2, "cannot read"},
        {{"compare", (root() / "none.backup").string(), f.string()}, 2, "cannot read"},
    };
    for (const Case& c : cases) {
        const Outcome out = run(c.args);
        EXPECT_EQ(out.exitCode, c.exitCode) << c.args[0] << " " << out.err;
        EXPECT_NE(out.err.find(c.says), std::string::npos) << out.err;
    }
    // A file that is no backup is refused before the line is touched.
    {
        std::ofstream other(file("notes.txt"));
        other << "format of my notes: free\n";
    }
    line->clearLog();
    const Outcome notBackup = onLine("restore", file("notes.txt"));
    EXPECT_EQ(notBackup.exitCode, 2);
    EXPECT_NE(notBackup.err.find("not a line backup"), std::string::npos) << notBackup.err;
    EXPECT_TRUE(commandsOf(line->log()).empty());
}

TEST_F(Backup, LostFoundAndReplacedModules) {
    startLineText("00 TRILO type=0x0205\n01 MICROTRILO serial=2001\n");
    const fs::path f = file("before.backup");
    ASSERT_EQ(backup(f, {"--to", "2"}).exitCode, 0);
    line->stop();
    // The module at 01 was replaced by another of its type; 00 is gone, 02 is new.
    startLineText("01 MICROTRILO serial=2002\n02 VRX17 serial=2003\n");
    const Outcome cmp = onLine("compare", f, {"--json"});
    EXPECT_EQ(cmp.exitCode, 1) << cmp.err;
    const auto objs = objects(cmp);
    EXPECT_EQ(moduleStates(objs),
              (std::map<int, std::string>{{0, "lost"}, {1, "replaced"}, {2, "found"}}));
    for (const JsonObject& o : objs) {
        if (o.count("module") != 0 && o.at("address").number() == 1) {
            EXPECT_EQ(o.at("backup_serial").text, "2001");
            EXPECT_EQ(o.at("line_serial").text, "2002");
        }
    }
    const Outcome text = onLine("compare", f);
    EXPECT_NE(text.out.find("module 01: replaced (was RT41 serial 2001, now RT41 serial 2002)"),
              std::string::npos)
        << text.out;
    // Two backups compare as the backup and the line do.
    const fs::path after = file("after.backup");
    ASSERT_EQ(backup(after, {"--to", "2"}).exitCode, 0);
    const Outcome files = run({"compare", f.string(), after.string(), "--json"});
    EXPECT_EQ(files.exitCode, 1) << files.err;
    EXPECT_EQ(moduleStates(objects(files)), moduleStates(objs));
    EXPECT_EQ(run({"compare", after.string(), after.string()}).exitCode, 0);

    // A module of another type at an address is left alone unless forced.
    line->stop();
    startLineText("01 TRILO type=0x0205\n");
    line->clearLog();
    const Outcome skipped = onLine("restore", f);
    EXPECT_EQ(skipped.exitCode, 1);
    EXPECT_NE(skipped.out.find("module 01: skipped"), std::string::npos) << skipped.out;
    EXPECT_TRUE(writesOf(line->log()).empty());
}

TEST_F(Backup, AModuleThatStopsAnsweringMidRestoreIsReportedAndASecondRestoreFinishes) {
    line = std::make_unique<kvsim::VirtualLine>(
        kvsim::VirtualLine::fromFile(fs::path(KVSIM_LINES_DIR) / "demo.line"));
    // Once module 01 has taken its parameters write it keeps silent: the read back and
    // the variable's write after it find no module.
    std::atomic<bool> armed{false};
    std::string sent;
    kvsim::VirtualLine* vl = line.get();
    line->setTrafficSink(
        [&armed, &sent, vl](auto, kvsim::Direction d, std::span<const std::uint8_t> bytes) {
            if (d != kvsim::Direction::ToModules || !armed.load()) {
                return;
            }
            sent.append(bytes.begin(), bytes.end());
            const auto at = sent.find("01GS,");
            if (at != std::string::npos &&
                sent.find(static_cast<char>(kEtx), at) != std::string::npos) {
                kvsim::FaultSetup silent;
                silent.kind = kvsim::FaultKind::Silent;
                vl->setFault(1, silent);
                armed = false;
            }
        });
    line->start(portsDir(), kCom);
    const fs::path f = file("partial.backup");
    ASSERT_EQ(backup(f, {"--to", "1", "--variables", "5"}).exitCode, 0);
    const long maxSpeed = line->module(1)->parameters.at("WH");
    send({"01WH1500", "01PD #05:42"});

    armed = true;
    const Outcome partial = onLine("restore", f, {"--json"});
    EXPECT_EQ(partial.exitCode, 1) << partial.out;
    std::map<std::string, std::string> states;
    for (const JsonObject& o : objects(partial)) {
        if (o.count("setting") != 0) {
            states[o.at("setting").text] = o.at("state").text;
        } else if (o.at("address").number() == 1) {
            EXPECT_EQ(o.at("module").text, "partly restored");
        }
    }
    EXPECT_EQ(states, (std::map<std::string, std::string>{
                          {"parameters.max_speed", "written, not read back"},
                          {"variable.05", "not written"}}));
    EXPECT_EQ(line->module(1)->parameters.at("WH"), maxSpeed);
    EXPECT_EQ(line->module(1)->variables.at("#05"), 42);

    line->setFault(1, kvsim::FaultSetup{});
    line->clearLog();
    const Outcome rest = onLine("restore", f);
    ASSERT_EQ(rest.exitCode, 0) << rest.out;
    EXPECT_EQ(writesOf(line->log()), (std::vector<std::string>{"01PD  #05:0 "}));
    EXPECT_EQ(onLine("compare", f).exitCode, 0);
    // The sink holds this test's locals: the line stops before they go.
    line->stop();
}

} // namespace
} // namespace toolstest
