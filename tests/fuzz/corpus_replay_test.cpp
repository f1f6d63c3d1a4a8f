// Replays every seed of the fuzz corpora through its fuzz entry, so the
// sanitizer build checks them on every run.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <map>

#include "fuzz/fuzz_entries.h"

namespace litho {
namespace {

using Entry = std::function<void(const std::uint8_t*, std::size_t)>;

void replay(const std::string& corpus, const Entry& entry) {
  const std::filesystem::path dir = std::filesystem::path(LITHO_SOURCE_DIR) / "fuzz" / "corpus" / corpus;
  ASSERT_TRUE(std::filesystem::is_directory(dir)) << dir;
  int count = 0;
  for (const auto& f : std::filesystem::directory_iterator(dir)) {
    SCOPED_TRACE(f.path().string());
    std::ifstream in(f.path(), std::ios::binary);
    const std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    entry(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size());
    ++count;
  }
  EXPECT_GT(count, 0);
}

TEST(FuzzCorpus, MeshReaderSeeds) { replay("mesh", fuzz::meshReader); }
TEST(FuzzCorpus, ModelReaderSeeds) { replay("model", fuzz::modelReader); }
TEST(FuzzCorpus, OctreeReaderSeeds) { replay("octree", fuzz::octreeReader); }
TEST(FuzzCorpus, TopographyReaderSeeds) { replay("topography", fuzz::topographyReader); }
TEST(FuzzCorpus, DataReaderSeeds) { replay("data", fuzz::dataReader); }
TEST(FuzzCorpus, FacesReaderSeeds) { replay("faces", fuzz::facesReader); }
TEST(FuzzCorpus, ViewFileSeeds) { replay("view_file", fuzz::viewFile); }

}  // namespace
}  // namespace litho
