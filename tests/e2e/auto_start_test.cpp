// An auto-start run end to end through the built corvex-display with its built-in simulator,
// in virtual time: the setup menu offers auto-start, the operator passes the switch
// requirements, picks Oats and initiates; the controller's status bytes move through the
// progress to "finished"; the finished message is accepted, the run ends on the display's
// word, and the shutdown history holds "User Accepted Auto-Start MC Setup".
#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include "support/process.h"

namespace {

using corvex::testing_support::run_process;
using corvex::testing_support::TempDir;

const std::string kDisplay = CORVEX_DISPLAY_BINARY;

// The answers of a script, one block per command (its lines and its "ok" or error line).
std::vector<std::string> answer_blocks(const std::string& out) {
  std::vector<std::string> answers;
  std::istringstream in(out);
  std::string line, block;
  while (std::getline(in, line)) {
    if (line == "ok" || line.rfind("error", 0) == 0) {
      answers.push_back(block + line);
      block.clear();
    } else {
      block += line + "\n";
    }
  }
  return answers;
}

bool has(const std::string& text, const std::string& part) {
  return text.find(part) != std::string::npos;
}

// The value of status byte `offset` in a `mirror` answer ("279=1 280=42 ..."); only nonzero
// bytes are listed.
int mirror_value(const std::string& answer, int offset) {
  const std::string key = " " + std::to_string(offset) + "=";
  const std::string padded = " " + answer;
  size_t at = padded.find(key);
  if (at == std::string::npos) {
    at = padded.find("\n" + std::to_string(offset) + "=");
    if (at == std::string::npos) return 0;
  }
  at = padded.find('=', at) + 1;
  return std::stoi(padded.substr(at), nullptr, 16);
}

TEST(AutoStartRun, FromTheSetupMenuToTheAcceptedFinish) {
  TempDir disk;
  const std::vector<std::string> script = {"wait 3000",    // 0
                                           "click SETUP",  // 1
                                           "windows",      // 2: the auto-start button is offered
                                           "click AUTO_START_SETUP_BUTTON",  // 3
                                           "texts",                   // 4: the switch requirements
                                           "click OK",                // 5
                                           "click \"Grain Select\"",  // 6
                                           "click Oats",              // 7
                                           "click INITIATE",          // 8
                                           "click Yes",               // 9
                                           "wait 3000",               // 10
                                           "mirror",                  // 11: the controller runs it
                                           "pending",  // 12: and nothing is left to send
                                           "windows",  // 13: the main screen with the status button
                                           "click AUTO_START_STATUS",  // 14
                                           "texts",                    // 15: the status dialog
                                           "click Minimize",           // 16
                                           "wait 400000",              // 17: the rest of the run
                                           "windows",                  // 18: the finished message
                                           "click OK",                 // 19
                                           "wait 3000",                // 20
                                           "mirror",      // 21: ended on the display's word
                                           "click VIEW",  // 22
                                           "click \"HISTORY BUTTON\"",  // 23
                                           "windows",                   // 24: the history
                                           "quit"};
  std::string input;
  for (const std::string& line : script) input += line + "\n";
  const auto r = run_process({kDisplay, "--headless", "--simulate", "--virtual-time", "--disk",
                              disk.path(), "--script", "-"},
                             input, 300'000);
  ASSERT_EQ(r.exit_code, 0) << r.err;
  const auto a = answer_blocks(r.out);
  ASSERT_EQ(a.size(), script.size()) << r.out;
  for (size_t i = 0; i < a.size(); ++i)
    EXPECT_TRUE(a[i].size() >= 2 && a[i].substr(a[i].size() - 2) == "ok") << i << ": " << a[i];

  EXPECT_TRUE(has(a[2], "\"AUTO_START_SETUP_BUTTON\"")) << a[2];
  EXPECT_TRUE(has(a[4], "Before auto-start, set the switches of the control panel:")) << a[4];
  EXPECT_EQ(mirror_value(a[11], 279) & 0x01, 0x01) << a[11];
  EXPECT_EQ(mirror_value(a[11], 285), 11) << a[11];
  EXPECT_EQ(mirror_value(a[11], 280) & 0x42, 0x42) << "offered and in progress\n" << a[11];
  EXPECT_FALSE(has(a[12], "279=")) << a[12];
  EXPECT_FALSE(has(a[12], "285=")) << a[12];
  EXPECT_TRUE(has(a[13], "BUTTON 37011 585 427 44 40")) << a[13];
  EXPECT_TRUE(has(a[15], "\"AUTO-START IN PROGRESS\"")) << a[15];
  EXPECT_TRUE(has(a[15], "\"FH #4\"")) << a[15];
  EXPECT_TRUE(has(a[18], "Auto-Start Finished...")) << a[18];
  EXPECT_EQ(mirror_value(a[21], 279) & 0x01, 0) << a[21];
  EXPECT_EQ(mirror_value(a[21], 280) & 0x80, 0x80) << a[21];
  EXPECT_TRUE(has(a[24], "User Accepted Auto-Start MC Setup")) << a[24];
}

}  // namespace
