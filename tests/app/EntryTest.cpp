// The real entry, built with windows that fail to build: the failure is
// shown once, the loop is never entered, the exit code is 0.
#include <gtest/gtest.h>

#include <sys/wait.h>

#include <cstdio>
#include <string>

namespace {

struct Outcome {
  int exitCode = -1;
  std::string stderrText;
};

Outcome RunProgram(const std::string& path) {
  Outcome outcome;
  std::string command = path + " some arguments it ignores 2>&1";
  FILE* pipe = popen(command.c_str(), "r");
  if (!pipe) return outcome;
  char buffer[512];
  while (std::fgets(buffer, sizeof buffer, pipe)) outcome.stderrText += buffer;
  int status = pclose(pipe);
  if (WIFEXITED(status)) outcome.exitCode = WEXITSTATUS(status);
  return outcome;
}

TEST(Entry, AWindowThatCannotBeBuiltIsShownAndTheExitCodeIsZero) {
  Outcome outcome = RunProgram(ENTRY_BROKEN_FORM);
  EXPECT_EQ(outcome.exitCode, 0);
  EXPECT_EQ(outcome.stderrText,
            "error box [entry_broken_form]: Unit1.form:3: unknown class 'TButon' of 'Button1'\n")
      << "a quote sorts below the full stop, so none is added";
}

TEST(Entry, AForeignObjectThrownAtStartIsShownWithAnEmptyMessage) {
  Outcome outcome = RunProgram(ENTRY_FOREIGN_THROW);
  EXPECT_EQ(outcome.exitCode, 0);
  EXPECT_EQ(outcome.stderrText, "error box [entry_foreign_throw]: \n");
}

}  // namespace
