// Which lines of the start-up script reach which port.
#include "line_table/startup_script.h"
#include "linkor_status.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace linkor {
namespace {

class StartupScript : public ::testing::Test {
  protected:
    void SetUp() override {
        path = std::filesystem::temp_directory_path() /
               ("linkor-script-" + std::to_string(::getpid()) + ".zel");
    }
    void TearDown() override { std::filesystem::remove(path); }

    void write(const std::string& content) { std::ofstream(path, std::ios::binary) << content; }
    /// The texts sent on `port`; the command `fails` fails.
    std::vector<std::string> run(const std::string& port, int32_t& status,
                                 const std::string& fails = "") {
        std::vector<std::string> sent;
        status = runStartupScript(path.string(), port, [&](const char* text) {
            sent.emplace_back(text);
            return sent.back() == fails ? LINKOR_ANSWER_NAK : LINKOR_OK;
        });
        return sent;
    }

    std::filesystem::path path;
};

using Texts = std::vector<std::string>;

TEST_F(StartupScript, PortLinesAndCommonLines) {
    write("; set-up of the rig\n"
          "/TACK 400/\n"
          "COM2:/PROTOCOLE ACK/\r\n"
          "com3: 01GS ; stop the axis\n");
    int32_t status = -1;
    EXPECT_EQ(run("COM2", status), (Texts{"/TACK 400/", "/PROTOCOLE ACK/"}));
    EXPECT_EQ(status, 0);
    EXPECT_EQ(run("COM3", status), (Texts{"/TACK 400/", "01GS "}));
    EXPECT_EQ(run("COM1", status), (Texts{"/TACK 400/"}));
}

TEST_F(StartupScript, LineRules) {
    write("  COM3: 01GS\n"      // blanks before the C: for every port
          "\t \t\n"             // blanks only
          "CX\n"                // begins with C but names no port
          "COM3 01MR\n"         // no colon after the port
          "COM31:02GS\n"        // another port whose name begins like this one
          "\t02QS // comment\n" // the rest after // goes
          "COM3:\t03GS\n");
    int32_t status = -1;
    EXPECT_EQ(run("COM3", status), (Texts{"COM3: 01GS", "02QS ", "03GS"}));
    EXPECT_EQ(run("COM31", status), (Texts{"COM3: 01GS", "02GS", "02QS "}));
}

TEST_F(StartupScript, FirstFailureStopsWithItsOwnCode) {
    write("01GS\n02GS\n03GS\n");
    int32_t status = 0;
    EXPECT_EQ(run("COM1", status, "02GS"), (Texts{"01GS", "02GS"}));
    EXPECT_EQ(status, LINKOR_SCRIPT_FAILED);
}

TEST_F(StartupScript, TheFailingLineIsKeptWithItsNumberAndStatus) {
    struct Case {
        const char* content;
        const char* fails;
        int lineNumber;
        const char* english;
        const char* french;
    };
    // Comment lines, other ports' lines and a long line cut in two all count as the file
    // shows them, so that the number is the one an editor gives.
    const std::string longLine(250, 'A');
    const Case cases[] = {
        {"; rig\n01GS\nCOM2:02GS\n02GS\n", "02GS", 4, ", line 4: \"02GS\", status 0x2009)",
         ", ligne 4 : \"02GS\", statut 0x2009)"},
        {"01GS\r\n\t03MR ; reset\r\n", "03MR ", 2, ", line 2: \"03MR \", status 0x2009)",
         ", ligne 2 : \"03MR \", statut 0x2009)"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.content);
        write(c.content);
        int32_t status = 0;
        run("COM1", status, c.fails);
        ASSERT_EQ(status, LINKOR_SCRIPT_FAILED);
        const ScriptFailure failure = lastScriptFailure();
        EXPECT_EQ(failure.path, path.string());
        EXPECT_EQ(failure.lineNumber, c.lineNumber);
        EXPECT_EQ(failure.text, c.fails);
        EXPECT_EQ(failure.status, LINKOR_ANSWER_NAK);
        EXPECT_EQ(scriptFailureDetail(failure, true), " (" + path.string() + c.english);
        EXPECT_EQ(scriptFailureDetail(failure, false), " (" + path.string() + c.french);
    }
    write(longLine + "\n01GS\n");
    int32_t status = 0;
    run("COM1", status, "01GS");
    EXPECT_EQ(lastScriptFailure().lineNumber, 2) << "a cut line keeps one number";

    // A later run that succeeds leaves the last failure as it was.
    write("01GS\n");
    run("COM1", status);
    EXPECT_EQ(status, 0);
    EXPECT_EQ(lastScriptFailure().lineNumber, 2);
    EXPECT_EQ(scriptFailureDetail(ScriptFailure{}, true), "");
}

TEST_F(StartupScript, MissingFileIsNoError) {
    int32_t status = -1;
    EXPECT_TRUE(run("COM1", status).empty());
    EXPECT_EQ(status, 0);
}

TEST_F(StartupScript, LongAndBinaryLinesStayBounded) {
    std::string content(450, 'A');
    content += "\n";
    content += std::string("01\0GS\n", 6);
    content += "\xff\xfe\x01\n";
    write(content);
    int32_t status = -1;
    const Texts sent = run("COM1", status);
    ASSERT_EQ(sent.size(), 5u) << "a long line goes on as further lines";
    EXPECT_EQ(sent[0].size(), 199u);
    EXPECT_EQ(sent[1].size(), 199u);
    EXPECT_EQ(sent[2].size(), 52u);
    EXPECT_EQ(sent[3], "01");
    EXPECT_EQ(sent[4], "\xff\xfe\x01");
}

} // namespace
} // namespace linkor
