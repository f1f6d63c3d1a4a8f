// Files that are not what a load expects: pipes, folders, devices, huge files,
// and the faults whose messages used to name another cause.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <functional>
#include <string>

#include "core/load/document.h"
#include "core/load/memory.h"
#include "support/scripted_platform.h"
#include "support/temp_dir.h"

namespace litho {
namespace {

using test::Recorded;
using test::ScriptedPlatform;
using test::TempDir;

// Ends the test program if a read blocks (a pipe opened for reading waits for a writer).
struct Watchdog {
  Watchdog() { ::alarm(120); }
  ~Watchdog() { ::alarm(0); }
};

// A file of size bytes that starts with head and holds zeros after it, without writing them.
std::string sparseFile(const TempDir& dir, const std::string& name, const std::string& head, off_t size) {
  const std::string path = dir.write(name, head);
  EXPECT_EQ(::truncate(path.c_str(), size), 0);
  return path;
}

struct Outcome {
  LoadStatus status;
  std::vector<Recorded> messages;
};

LoadRequest files(const std::string& mesh, const std::string& model) {
  LoadRequest r;
  r.meshPath = mesh;
  r.modelPath = model;
  return r;
}

Outcome load(const LoadRequest& req) {
  ScriptedPlatform p;
  Document doc(p, p);
  Outcome o{doc.load(req), {}};
  o.messages = p.messages;
  return o;
}

TEST(FileFaults, SpecialFilesAreRefusedBeforeAnyRead) {
  const Watchdog watchdog;
  TempDir dir;
  const std::string mesh = dir.write("m.msh", "1 1 2\n0 0 0\n1\n1\n2*1\n");
  const std::string model = dir.write("m.den", "1\n2\n");
  const std::string octreeMesh = dir.write("o.msh", "1 1 1\n0 0 0\n1 1 1\n1\n1 1 1 1\n");
  const std::string octreeModel = dir.write("o.den", "5\n");
  const std::string pipe = dir.path() + "/pipe";
  ASSERT_EQ(::mkfifo(pipe.c_str(), 0600), 0);
  const std::string folder = dir.path() + "/folder";
  ASSERT_EQ(::mkdir(folder.c_str(), 0700), 0);

  struct Special {
    std::string path, why;
  };
  const Special specials[] = {{pipe, "The path names a pipe (FIFO), not a regular file."},
                              {folder, "The path names a folder, not a file."},
                              {"/dev/zero", "The path names a device, not a regular file."}};
  for (const Special& s : specials) {
    SCOPED_TRACE(s.path);
    const auto request = [&](bool octree, const std::string& m, const std::string& d, const std::string& second) {
      LoadRequest r;
      r.octree = octree;
      r.meshPath = m;
      r.modelPath = d;
      r.secondModelPath = second;
      return r;
    };
    struct Case {
      const char* role;
      LoadRequest request;
      LoadStatus status;
      Recorded message;
    };
    const Case cases[] = {
        {"mesh",
         request(false, s.path, model, ""),
         LoadStatus::Failed,
         {MessageKind::Error, s.why + "\nError reading mesh file\n" + s.path}},
        {"model",
         request(false, mesh, s.path, ""),
         LoadStatus::Failed,
         {MessageKind::Error, s.why + "\nError reading model file " + s.path}},
        {"second model",
         request(false, mesh, model, s.path),
         LoadStatus::Loaded,
         {MessageKind::Plain, s.why + "\nCannot open second model file\n" + s.path}},
        {"octree mesh",
         request(true, s.path, octreeModel, ""),
         LoadStatus::Failed,
         {MessageKind::Error, "Error reading octree mesh:\n" + s.path + "\n" + s.why + "\n"}},
        {"octree model",
         request(true, octreeMesh, s.path, ""),
         LoadStatus::Failed,
         {MessageKind::Error, s.why + "\nError reading model file " + s.path}},
        {"octree second model",
         request(true, octreeMesh, octreeModel, s.path),
         LoadStatus::Loaded,
         {MessageKind::Plain, s.why + "\nCannot open second model file\n" + s.path}},
    };
    for (const Case& c : cases) {
      SCOPED_TRACE(c.role);
      const Outcome o = load(c.request);
      EXPECT_EQ(o.status, c.status);
      EXPECT_EQ(o.messages, std::vector<Recorded>{c.message});
    }
    {
      SCOPED_TRACE("element file");
      const std::string link = model + "_loc";
      ASSERT_EQ(::symlink(s.path.c_str(), link.c_str()), 0);
      const Outcome o = load(request(false, mesh, model, ""));
      ::unlink(link.c_str());
      EXPECT_EQ(o.status, LoadStatus::Loaded);
      EXPECT_EQ(o.messages,
                (std::vector<Recorded>{{MessageKind::Warning, s.why + "\nError reading element file " + link}}));
    }
    {
      SCOPED_TRACE("topography");
      ScriptedPlatform p;
      Document doc(p, p);
      ASSERT_EQ(doc.load(request(false, mesh, model, "")), LoadStatus::Loaded);
      EXPECT_FALSE(doc.loadTopography(s.path));
      EXPECT_EQ(p.lastMessageText(), s.why + "\nCannot open topography file " + s.path);
    }
  }
}

TEST(FileFaults, HugeFilesAreReadOnlyAsFarAsTheLineLimit) {
  TempDir dir;
  const off_t huge = off_t{3} << 30;
  const std::string mesh = sparseFile(dir, "huge.msh", "1 1 1", huge);
  Outcome o = load(files(mesh, ""));
  EXPECT_EQ(o.status, LoadStatus::Failed);
  EXPECT_EQ(
      o.messages,
      (std::vector<Recorded>{{MessageKind::Error, "A line is longer than 64 MiB.\nError reading mesh file\n" + mesh}}));

  const std::string small = dir.write("m.msh", "1 1 1\n0 0 0\n1\n1\n1\n");
  const std::string model = dir.write("m.den", "0\n");
  sparseFile(dir, "m.den_loc", "2\n", huge);
  o = load(files(small, model));
  EXPECT_EQ(o.status, LoadStatus::Loaded);
  EXPECT_EQ(o.messages, (std::vector<Recorded>{{MessageKind::Warning,
                                                "A line is longer than 64 MiB.\nNot enough "
                                                "elements.\nError reading element file " +
                                                    model + "_loc"}}));
}

TEST(FileFaults, MessagesNameTheTrueCause) {
  TempDir dir;
  const std::string mesh = dir.write("m.msh", "1 1 2\n0 0 0\n1\n1\n2*1\n");
  struct Case {
    const char* name;
    std::string model;  // a path
    bool log;
    LoadStatus status;
    Recorded message;
  };
  const std::string longName = dir.path() + "/" + std::string(300, 'a') + ".den";
  const std::string crOnly = dir.write("cr.den", "1\r2\r");
  const std::string tiny = dir.write("tiny.den", "1e-46\n2\n");
  const std::string forged = dir.path() + "/x\ninfo: \x1b[2Jforged";
  const std::string shownForged = dir.path() + "/x\\ninfo: \\x1b[2Jforged";
  const std::string outside = dir.write("out.den", "1\n2\n");
  dir.write("out.den_loc", "1\n\x1b[31mred\n9 9 9  1 1 1  0 0  2.5  1\n");
  const Case cases[] = {
      {"a name too long for the system",
       longName,
       false,
       LoadStatus::Failed,
       {MessageKind::Error, "The file cannot be opened: File name too long.\nError reading model file " + longName}},
      {"lines ending in CR alone",
       crOnly,
       false,
       LoadStatus::Failed,
       {MessageKind::Error,
        "The lines of the file end with a carriage return (CR) alone; save it with LF or CR LF line ends.\n"
        "Error reading model file " +
            crOnly}},
      {"a positive value that is 0 as a float",
       tiny,
       true,
       LoadStatus::Failed,
       {MessageKind::Error,
        "Cannot take log of 1e-46: the value is too small for a single-precision number and reads as 0.\n"
        "Error reading model file " +
            tiny}},
      {"control characters in a file name",
       forged,
       false,
       LoadStatus::Fatal,
       {MessageKind::Error, "File not found: " + shownForged}},
      {"control characters in an element name",
       outside,
       false,
       LoadStatus::Loaded,
       {MessageKind::Warning,
        "Element \"\\x1b[31mred\" lies outside the mesh.\nError reading element file " + outside + "_loc"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    LoadRequest req;
    req.meshPath = mesh;
    req.modelPath = c.model;
    req.logModel = c.log;
    const Outcome o = load(req);
    EXPECT_EQ(o.status, c.status);
    EXPECT_EQ(o.messages, std::vector<Recorded>{c.message});
  }
}

TEST(FileFaults, ModelsThatDoNotFitInMemoryAreRefusedBeforeAllocating) {
  TempDir dir;
  const std::string mesh = dir.write("m.msh", "100 100 100\n0 0 0\n100*1\n100*1\n100*1\n");
  // A vector model needs four sets; the file is as long as the lines need, without being written.
  const std::string model = sparseFile(dir, "v.vec", "1 2 3\n", 2000000);
  const ScopedMemoryLimit limit(8 << 20);
  const Outcome o = load(files(mesh, model));
  EXPECT_EQ(o.status, LoadStatus::Failed);
  EXPECT_EQ(o.messages, (std::vector<Recorded>{{MessageKind::Error,
                                                "Not enough memory for a vector model of 100 x 100 x 100 cells: 15 "
                                                "MiB are needed, 8.0 MiB are available.\n" +
                                                    model}}));
}

}  // namespace
}  // namespace litho
