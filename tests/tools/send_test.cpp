// Command texts from the command line: replies in order, the driver's message on failure.
#include "tool_fixture.h"

namespace toolstest {
namespace {

class Send : public ToolLine {
  protected:
    void SetUp() override { startLine("demo.line"); }

    /// What the module at @p address answers to "RV": its address, then its identity.
    std::string identityReply(int address) const {
        const auto m = line->module(address);
        EXPECT_TRUE(m.has_value()) << address;
        char digits[3];
        std::snprintf(digits, sizeof digits, "%02d", address);
        return m ? digits + m->identity : std::string();
    }

    int heard(int address) const { return line->module(address)->commandsHeard; }
};

TEST_F(Send, EachReplyInTheOrderOfTheCommands) {
    std::vector<std::string> args{"send"};
    for (const std::string& a : demoLine({"03RV", "00RV", "02RV"})) {
        args.push_back(a);
    }
    const Outcome out = run(args);
    ASSERT_EQ(out.exitCode, 0) << out.err;
    EXPECT_EQ(linesOf(out.out),
              (std::vector<std::string>{identityReply(3), identityReply(0), identityReply(2)}));
    EXPECT_EQ(out.err, "");
}

TEST_F(Send, JsonGivesCommandStatusAndReply) {
    std::vector<std::string> args{"send", "--json", "--settings", "/TACK 400/"};
    for (const std::string& a : demoLine({"01RV", "$syntaxe=AB"})) {
        args.push_back(a);
    }
    const Outcome out = run(args);
    ASSERT_EQ(out.exitCode, 0) << out.err;
    const auto objs = objects(out);
    ASSERT_EQ(objs.size(), 3U) << out.out;
    EXPECT_EQ(objs[0].at("command").text, "/TACK 400/");
    EXPECT_EQ(objs[0].at("status").number(), 0);
    EXPECT_EQ(objs[1].at("command").text, "01RV");
    EXPECT_EQ(objs[1].at("reply").text, identityReply(1));
    EXPECT_EQ(objs[1].at("status").number(), 0);
    // The terminal's macro: the line's control characters are set, nothing is sent.
    EXPECT_EQ(objs[2].at("reply").text, "Macro is done ");
}

TEST_F(Send, TheTargetOfTheLineReachesFrameModules) {
    const Outcome out =
        run({"send", "--port", kPort, "--target", "vrx23", "--protocol", "XON-XOFF", "04RV"});
    ASSERT_EQ(out.exitCode, 0) << out.err;
    const auto lines = linesOf(out.out);
    ASSERT_EQ(lines.size(), 1U);
    EXPECT_EQ(lines[0].rfind("04ev P461.069 VRX23 rev 1.05 _KORVEL_SERIE1005_", 0), 0U) << lines[0];
}

TEST_F(Send, AFailureStopsWithTheDriversMessageUnlessToldToGoOn) {
    struct Case {
        bool keepGoing;
        bool json;
    };
    for (const Case c : {Case{false, false}, Case{true, false}, Case{false, true}}) {
        const int before = heard(0);
        std::vector<std::string> args{"send"};
        if (c.keepGoing) {
            args.push_back("--keep-going");
        }
        if (c.json) {
            args.push_back("--json");
        }
        for (const std::string& a : demoLine({"09RV", "00RV"})) {
            args.push_back(a);
        }
        const Outcome out = run(args);
        EXPECT_EQ(out.exitCode, 1) << c.keepGoing;
        EXPECT_EQ(out.err, "linkorctl: 09RV: Default: reception timeout! (status 0x3002)\n");
        EXPECT_EQ(heard(0) - before, c.keepGoing ? 1 : 0);
        if (c.json) {
            const auto objs = objects(out);
            ASSERT_EQ(objs.size(), 1U);
            EXPECT_EQ(objs[0].at("status").number(), 0x3002);
            EXPECT_EQ(objs[0].at("message").text, "Default: reception timeout!");
        } else {
            EXPECT_EQ(linesOf(out.out), c.keepGoing ? std::vector<std::string>{identityReply(0)}
                                                    : std::vector<std::string>{});
        }
    }
}

TEST_F(Send, AModulesRefusalIsReportedInTheChosenLanguage) {
    kvsim::FaultSetup nak;
    nak.kind = kvsim::FaultKind::Nak;
    ASSERT_TRUE(line->setFault(1, nak));
    const Outcome en = run({"send", "--port", kPort, "01RV"});
    EXPECT_EQ(en.exitCode, 1);
    EXPECT_NE(en.err.find("01RV: Default: "), std::string::npos) << en.err;
    EXPECT_NE(en.err.find("(status 0x2009)"), std::string::npos) << en.err;

    const Outcome fr = run({"send", "--lang", "FR", "--port", kPort, "01RV"});
    EXPECT_EQ(fr.exitCode, 1);
    EXPECT_NE(fr.err.find("01RV: D\xC3\xA9"
                          "faut"),
              std::string::npos)
        << fr.err;
}

TEST_F(Send, VerboseShowsTheBindingsNotesOnStandardErrorOnly) {
    const Outcome quiet = run({"send", "--port", kPort, "00RV"});
    EXPECT_EQ(quiet.err, "");
    const Outcome verbose = run({"send", "--verbose", "--port", kPort, "00RV"});
    ASSERT_EQ(verbose.exitCode, 0) << verbose.err;
    EXPECT_EQ(verbose.out, quiet.out);
    // The target and acknowledgement settings of the working line, as connect sends them.
    EXPECT_NE(verbose.err.find("linkorctl: [note] /TRILO/\n"), std::string::npos) << verbose.err;
    EXPECT_NE(verbose.err.find("linkorctl: [note] /TACK 400/\n"), std::string::npos) << verbose.err;
}

TEST_F(Send, ACommandThatWouldNotGoOutAsTypedIsAUsageError) {
    struct Case {
        std::string command;
        std::string shown;
        std::string fault;
    };
    const std::string nothing = "is empty: there is nothing to send";
    const std::string lineEnd = "holds a line end (CR or LF): the driver would send only what "
                                "comes before it; give each command as an argument of its own";
    const Case cases[] = {
        {"", "", nothing},
        {" ", " ", nothing},
        {"\t ", "\t ", nothing},
        {"; note", "; note", "holds only a comment: there is nothing to send"},
        {"/", "/",
         "opens a settings block and does not close it: a settings block is written between "
         "slashes, as \"/TACK 400/\""},
        {"/TACK 400", "/TACK 400",
         "opens a settings block and does not close it: a settings block is written between "
         "slashes, as \"/TACK 400/\""},
        {"//", "//", "holds an empty settings block and nothing else: there is nothing to send"},
        {"01RV\r02RV", "01RV\\x0D02RV", lineEnd},
        {"01RV\n02RV", "01RV\\x0A02RV", lineEnd},
        {"01GA 5000\r", "01GA 5000\\x0D", lineEnd},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.shown);
        line->clearLog();
        // A good command first: nothing at all goes out when one of them is refused.
        const Outcome out = run({"send", "--port", kPort, "00RV", c.command});
        EXPECT_EQ(out.exitCode, 2);
        EXPECT_EQ(out.err, "linkorctl: command '" + c.shown + "' " + c.fault +
                               " (try 'linkorctl send --help')\n");
        EXPECT_EQ(out.out, "");
        EXPECT_TRUE(line->log().empty());
    }
    // A block with something in it, and a block followed by a command, are sent.
    const Outcome block = run({"send", "--port", kPort, "/TACK 400/", "/TACK 400/00RV"});
    EXPECT_EQ(block.exitCode, 0) << block.err;
    EXPECT_EQ(linesOf(block.out), (std::vector<std::string>{"", identityReply(0)}));

    const Outcome settings = run({"send", "--port", kPort, "--settings", "//", "00RV"});
    EXPECT_EQ(settings.exitCode, 2);
    EXPECT_EQ(settings.err, "linkorctl: settings block '//' holds an empty settings block and "
                            "nothing else: there is nothing to send (try 'linkorctl send "
                            "--help')\n");
}

TEST_F(Send, AnAbsentPortIsALineFailureThatNamesTheUsablePorts) {
    const Outcome out = run({"send", "--port", "COM9", "00RV"});
    EXPECT_EQ(out.exitCode, 1);
    EXPECT_EQ(out.err, "linkorctl: port COM9 cannot be opened: no such device: " +
                           (portsDir() / "COM9").string() +
                           " does not exist; the driver can use COM7 (ports come from "
                           "LINKOR_PORTS or the port map linkor.ports)\n");
    EXPECT_EQ(out.out, "");
}

} // namespace
} // namespace toolstest
