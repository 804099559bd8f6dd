#include <gtest/gtest.h>
#include <unistd.h>

#include <string>

#include "system/ConsoleDialog.h"

namespace {
// Standard input as a pipe that already holds replies, and an output file
// that records the prompts.
class Console {
 public:
  explicit Console(const std::string& replies) {
    int ends[2];
    if (pipe(ends) != 0) throw std::runtime_error("pipe");
    if (write(ends[1], replies.data(), replies.size()) != static_cast<ssize_t>(replies.size()))
      throw std::runtime_error("write");
    close(ends[1]);
    in = fdopen(ends[0], "r");
    out = tmpfile();
  }
  ~Console() {
    fclose(in);
    fclose(out);
  }
  std::string Written() {
    std::string text;
    rewind(out);
    for (int c = fgetc(out); c != EOF; c = fgetc(out)) text.push_back(static_cast<char>(c));
    return text;
  }
  FILE* in;
  FILE* out;
};
}  // namespace

TEST(ConsoleDialog, ProceedReadsYesNoOrCancelFromTheFirstLetter) {
  Console console("\nYes\nYES\nyep\nNo\nmaybe\r\nn\r\n");
  const int32_t expected[] = {-1, 1, 1, 1, 0, -1, 0, -1};
  for (int32_t answer : expected) EXPECT_EQ(ConsoleProceed(S("Save?"), console.in, console.out), answer);
  EXPECT_EQ(console.Written().substr(0, 34), "Save? (Yes/No/Cancel)?Save? (Yes/N");
}

TEST(ConsoleDialog, ConfirmIsYesOnlyForAReplyStartingWithY) {
  Console console("n\n\nY\ryes\nyes");
  EXPECT_EQ(ConsoleConfirm(S("Delete?"), console.in, console.out), 0);
  EXPECT_EQ(ConsoleConfirm(S("Delete?"), console.in, console.out), 0);
  EXPECT_EQ(ConsoleConfirm(S("Delete?"), console.in, console.out), 1);
  EXPECT_EQ(ConsoleConfirm(S("Delete?"), console.in, console.out), 1) << "a last line without its line end";
  EXPECT_EQ(ConsoleConfirm(S("Delete?"), console.in, console.out), 0) << "end of input is an empty reply";
  EXPECT_EQ(console.Written(), std::string("Delete? (Yes/No)?Delete? (Yes/No)?Delete? (Yes/No)?"
                                           "Delete? (Yes/No)?Delete? (Yes/No)?"));
}

TEST(ConsoleDialog, NotifyWritesALineAndQuestionsReturnTheReply) {
  Console console("/home/u/file.txt\r\nrest of line \n");
  EXPECT_EQ(ConsoleNotify(S("Key lost"), console.out), 0);
  EXPECT_EQ(ConsoleAsk("Enter a filename:", console.in, console.out), S("/home/u/file.txt"));
  EXPECT_EQ(ConsoleAsk("Enter a directory name:", console.in, console.out), S("rest of line "));
  EXPECT_EQ(ConsoleAsk("Enter a directory name:", console.in, console.out), S(""));
  EXPECT_EQ(console.Written(), "Key lost\r\nEnter a filename:Enter a directory name:Enter a directory name:");
}
