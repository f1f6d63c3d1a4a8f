#include "core/io/line_source.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <string>
#include <vector>

#include "support/temp_dir.h"

namespace litho {
namespace {

std::vector<std::string> splitLines(const std::string& text) {
  std::vector<std::string> out;
  std::size_t p = 0;
  while (p < text.size()) {
    const std::size_t nl = text.find('\n', p);
    if (nl == std::string::npos) {
      out.push_back(text.substr(p));
      break;
    }
    out.push_back(text.substr(p, nl - p));
    p = nl + 1;
  }
  return out;
}

// Lines straddle the 1 MiB chunks, one line is longer than a chunk, the last has no newline.
TEST(LineSource, FileReadInChunksGivesEveryLineWhole) {
  std::string text;
  for (int n = 0; text.size() < 2'500'000; ++n) text += std::string(static_cast<std::size_t>(n % 97), 'a' + n % 26) + "\n";
  text += std::string(3 << 20, 'L') + "\n\n";
  for (int n = 0; n < 1000; ++n) text += std::to_string(n) + "\n";
  text += "last";
  test::TempDir dir;
  const std::string path = dir.write("lines.txt", text);
  const std::vector<std::string> expected = splitLines(text);

  LineSource::Buffers buffer;
  {
    SCOPED_TRACE("line by line");
    LineSource in(path, buffer);
    ASSERT_TRUE(in.isOpen());
    EXPECT_EQ(in.remainingBytes(), static_cast<long long>(text.size()));
    std::vector<std::string> got;
    std::string_view line;
    while (in.nextLine(line)) got.emplace_back(line);
    EXPECT_FALSE(in.failed());
    EXPECT_TRUE(got == expected);
  }
  {
    SCOPED_TRACE("blocks of whole lines, after a rewind");
    LineSource in(path, buffer);
    std::string_view line;
    ASSERT_TRUE(in.nextLine(line));
    ASSERT_TRUE(in.rewind());
    std::string joined;
    const char *b, *e;
    while (in.nextBlock(b, e)) {
      ASSERT_TRUE(e[-1] == '\n' || e - b == 4) << "a block ends with a whole line";
      EXPECT_EQ(*e == '\0' || e[-1] == '\n', true);
      joined.append(b, e);
    }
    EXPECT_TRUE(joined == text);
  }
}

TEST(LineSource, FailuresAreNotEndsOfFile) {
  test::TempDir dir;
  ::mkdir((dir.path() + "/folder").c_str(), 0755);
  LineSource::Buffers buffer;
  LineSource folder(dir.path() + "/folder", buffer);
  std::string_view line;
  EXPECT_FALSE(folder.isOpen());
  EXPECT_FALSE(folder.nextLine(line));
  EXPECT_EQ(folder.problem(), "The path names a folder, not a file.");
  EXPECT_FALSE(folder.missing());
  LineSource missing(dir.path() + "/none", buffer);
  EXPECT_FALSE(missing.isOpen());
  EXPECT_TRUE(missing.missing());
}

}  // namespace
}  // namespace litho
