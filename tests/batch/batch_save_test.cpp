// lithoscan3d-batch with octree files and the save command, and saves that
// must not lose data: special files, permissions, partial saves, signals.
#include <fcntl.h>
#include <grp.h>
#include <gtest/gtest.h>
#include <poll.h>
#include <signal.h>
#include <sys/inotify.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstring>
#include <filesystem>
#include <set>
#include <sstream>

#include "batch/batch.h"
#include "core/io/atomic_file.h"
#include "core/io/file_system.h"
#include "support/temp_dir.h"

namespace litho {
namespace {

struct BatchRun {
  int status;
  std::string out;
  std::string err;
};

BatchRun batch(const std::vector<std::string>& args) {
  test::SavedFolder saved;
  std::ostringstream out, err;
  const int status = runBatch(args, out, err);
  return {status, out.str(), err.str()};
}

std::string read(const std::string& path) {
  std::string s;
  EXPECT_TRUE(readWholeFile(path, s)) << path;
  return s;
}

const std::string kExamples = std::string(LITHO_SOURCE_DIR) + "/examples/";

TEST(BatchOctree, InfoReadsTheOctreeExample) {
  const BatchRun r = batch({"info", kExamples + "octree/octree.msh", kExamples + "octree/conductivity.con", "--octree",
                            "--log"});
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.err, "");
  EXPECT_NE(r.out.find("# of cells:  32 x 32 x 24\n"), std::string::npos) << r.out;
  EXPECT_NE(r.out.find("smallest cell dimensions:  25 x 25 x 25\n"), std::string::npos);
  EXPECT_NE(r.out.find("inactive cells: 4096\n"), std::string::npos) << "four layers of air";

  const BatchRun bad = batch({"info", kExamples + "block/block.msh", "--octree"});
  EXPECT_EQ(bad.status, 1);
  EXPECT_EQ(bad.err, "error: Error reading octree mesh:\n" + kExamples +
                         "block/block.msh\n24*12.5 20 30 45 70 100 150\n")
      << "a mesh file read as an octree mesh fails on its first line of widths";
}

TEST(BatchSave, NoPaddingStripsThePaddingNamedInTheHeader) {
  test::TempDir dir;
  const std::string out = dir.path() + "/core.den";
  const BatchRun r = batch({"save", kExamples + "block/block.msh", kExamples + "block/density.den", "-o", out,
                            "--no-padding"});
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.err, "info: Mesh saved to:\n" + out + "_mesh\n");
  const std::string original = read(kExamples + "block/density.den");
  EXPECT_EQ(read(out), original.substr(original.find('\n') + 1)) << "the core values, without the header";

  const BatchRun core = batch({"info", out + "_mesh", out});
  ASSERT_EQ(core.status, 0) << core.err;
  EXPECT_NE(core.out.find("# of cells:  30 x 30 x 24\n"), std::string::npos) << core.out;
  EXPECT_NE(core.out.find("top south-west corner:  500000  7000000  450\n"), std::string::npos);
  EXPECT_EQ(read(out + "_mesh").substr(0, 30), "30  30  24\n500000  7e+06  450\n");
}

TEST(BatchSave, OctreeModelBecomesATensorModel) {
  test::TempDir dir;
  const std::string out = dir.path() + "/tensor.con";
  const std::string mesh = kExamples + "octree/octree.msh", model = kExamples + "octree/conductivity.con";
  BatchRun r = batch({"save", mesh, model, "--octree", "--log", "--no-padding", "-o", out});
  ASSERT_EQ(r.status, 0) << r.err;
  const BatchRun octree = batch({"info", mesh, model, "--octree", "--log"});
  const BatchRun tensor = batch({"info", out + "_mesh", out, "--log", "--yes"});
  ASSERT_EQ(tensor.status, 0) << tensor.err;
  EXPECT_EQ(tensor.err,
            "question: The model file has cells that are set to  1e-08.\nWould you like these cells to be ignored?\n"
            "answer: yes\n");
  const auto cut = [](const std::string& s) { return s.substr(0, s.find("smallest: ")); };
  EXPECT_EQ(cut(tensor.out), cut(octree.out)) << "same mesh, range and log flag";
  EXPECT_NE(tensor.out.find("inactive cells: 4096\n"), std::string::npos);
}

TEST(BatchSave, FailuresExitWithOne) {
  test::TempDir dir;
  BatchRun r = batch({"save", kExamples + "vector/vector.msh", kExamples + "vector/magnetization.vec", "-o",
                      dir.path() + "/v.vec"});
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.err, "error: Vector models cannot be saved.\n" + kExamples + "vector/magnetization.vec\n");
  EXPECT_FALSE(fileExists(dir.path() + "/v.vec"));

  const std::string out = dir.path() + "/none/out.den";
  r = batch({"save", kExamples + "pair/pair.msh", kExamples + "pair/reference.den", "-o", out});
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.err, "error: Could not save the file\n" + out +
                       "\nNo such file or directory.\nAny earlier file of that name is unchanged.\n");

  SCOPED_TRACE("a relative output is taken from the folder the tool started in");
  ASSERT_EQ(::chdir(dir.path().c_str()), 0);
  r = batch({"save", kExamples + "pair/pair.msh", kExamples + "pair/reference.den", "-o", "rel.den"});
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_TRUE(fileExists(dir.path() + "/rel.den"));
}

// --- saves that must not lose data ------------------------------------------------

class BatchSaveSafety : public ::testing::Test {
 protected:
  void SetUp() override {
    mesh = dir.write("m.msh", "2 1 2\n0 0 0\n2*10\n10\n2*5\n");
    model = dir.write("m.den", kModel);
  }
  static constexpr const char* kModel = "1\n2.5\n3\n4\n";
  // Every name in the folder; temporary files would show up here.
  std::set<std::string> names(const std::string& folder) const {
    std::set<std::string> n;
    for (const auto& e : std::filesystem::directory_iterator(folder)) n.insert(e.path().filename().string());
    return n;
  }
  test::TempDir dir;
  std::string mesh, model;
};

mode_t typeOf(const std::string& path) {
  struct stat st {};
  return ::lstat(path.c_str(), &st) == 0 ? (st.st_mode & S_IFMT) : 0;
}

TEST_F(BatchSaveSafety, OnlyRegularFilesAreReplacedAndLinksWrittenThrough) {
  const std::string pipe = dir.path() + "/pipe", pipeLink = dir.path() + "/pipe-link", folder = dir.path() + "/folder";
  ASSERT_EQ(::mkfifo(pipe.c_str(), 0644), 0);
  ASSERT_EQ(::symlink(pipe.c_str(), pipeLink.c_str()), 0);
  std::filesystem::create_directory(folder);
  for (const std::string& target : {pipe, pipeLink, folder}) {
    SCOPED_TRACE(target);
    const mode_t type = typeOf(target);
    const BatchRun r = batch({"save", mesh, model, "-o", target});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err, "error: " + saveFailureText(target, "It is not a regular file") + "\n");
    EXPECT_EQ(typeOf(target), type);
  }
  const std::string real = dir.write("real.den", "old\n"), link = dir.path() + "/link.den";
  ASSERT_EQ(::symlink("real.den", link.c_str()), 0);
  const BatchRun r = batch({"save", mesh, model, "-o", link});
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(typeOf(link), S_IFLNK);
  EXPECT_EQ(read(real), kModel);
}

TEST_F(BatchSaveSafety, PartialSavesChangeNothingTheyCannotComplete) {
  const std::string out = dir.write("out.den", "old\n");
  {
    SCOPED_TRACE("the mesh file of --no-padding cannot be written");
    ASSERT_EQ(::mkfifo((out + "_mesh").c_str(), 0644), 0);
    const BatchRun r = batch({"save", mesh, model, "-o", out, "--no-padding"});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err, "error: " + saveFailureText(out + "_mesh", "It is not a regular file") + "\n");
    EXPECT_EQ(read(out), "old\n");
    std::filesystem::remove(out + "_mesh");
  }
  {
    SCOPED_TRACE("--no-padding onto the input model");
    const BatchRun r = batch({"save", mesh, model, "-o", model, "--no-padding"});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err, "error: Saving would overwrite a file the model was loaded from:\n" + model +
                         "\nNothing was saved; choose another name.\n");
    EXPECT_EQ(read(model), kModel);
  }
  {
    SCOPED_TRACE("element files the program cannot read are kept");
    const std::string junk = "not blocks\n";
    dir.write("out.den_loc", junk);
    BatchRun r = batch({"save", mesh, model, "-o", out});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.err, "warning: The element file\n" + out +
                         "_loc\nwas left as it was: it is not an element file of this mesh.\n");
    EXPECT_EQ(read(out + "_loc"), junk);
    EXPECT_EQ(read(out), kModel);

    dir.write("m.den_loc", junk);  // warned about on loading, then saved over
    r = batch({"save", mesh, model, "-o", model});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_NE(r.err.find("was left as it was"), std::string::npos) << r.err;
    EXPECT_EQ(read(model + "_loc"), junk);

    dir.write("out.den_loc", "1\nold block\n0 0 0  1 1 1  0 0 0  5  1\n");
    r = batch({"save", mesh, model, "-o", out});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(read(out + "_loc"), "0\n") << "the blocks of an earlier model of that name";
  }
  EXPECT_EQ(names(dir.path()), (std::set<std::string>{"m.msh", "m.den", "m.den_loc", "out.den", "out.den_loc"}));
}

// The batch tool as its own process: as user nobody when asked and run as
// root (status 125 when that cannot be), with TMPDIR set when given.
pid_t startBatch(const std::vector<std::string>& args, int& errFd, bool unprivileged = false,
                 const std::string& tmpdir = {}) {
  std::vector<std::string> all{LITHO_BATCH_EXE};
  all.insert(all.end(), args.begin(), args.end());
  std::vector<char*> argv;
  for (std::string& a : all) argv.push_back(a.data());
  argv.push_back(nullptr);
  int fds[2];
  if (::pipe2(fds, O_CLOEXEC) != 0) return -1;
  const pid_t pid = ::fork();
  if (pid == 0) {
    ::dup2(fds[1], 2);
    const int null = ::open("/dev/null", O_WRONLY);
    ::dup2(null, 1);
    if (unprivileged && ::geteuid() == 0 &&
        (::setgroups(0, nullptr) != 0 || ::setgid(65534) != 0 || ::setuid(65534) != 0))
      ::_exit(125);
    if (!tmpdir.empty()) ::setenv("TMPDIR", tmpdir.c_str(), 1);
    ::execv(argv[0], argv.data());
    ::_exit(126);
  }
  ::close(fds[1]);
  errFd = fds[0];
  return pid;
}

BatchRun runBatchProcess(const std::vector<std::string>& args, bool unprivileged, const std::string& tmpdir) {
  int fd = -1;
  const pid_t pid = startBatch(args, fd, unprivileged, tmpdir);
  std::string err;
  char buf[4096];
  for (ssize_t n; (n = ::read(fd, buf, sizeof buf)) > 0;) err.append(buf, static_cast<std::size_t>(n));
  ::close(fd);
  int status = 0;
  ::waitpid(pid, &status, 0);
  return {WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status), "", err};
}

struct stat statOf(const std::string& path) {
  struct stat st {};
  EXPECT_EQ(::stat(path.c_str(), &st), 0) << path;
  return st;
}

// Run as root, the cases run as user nobody, for whom permissions count.
TEST_F(BatchSaveSafety, PermissionsModesOwnersAndLinksAreKept) {
  ASSERT_EQ(::chmod(dir.path().c_str(), 0755), 0);
  const auto folder = [&](const std::string& name, mode_t mode) {
    const std::string f = dir.path() + "/" + name;
    std::filesystem::create_directory(f);
    EXPECT_EQ(::chmod(f.c_str(), mode), 0);
    return f;
  };
  const auto file = [&](const std::string& path, mode_t mode) {
    std::FILE* f = std::fopen(path.c_str(), "w");
    std::fputs("old\n", f);
    std::fclose(f);
    EXPECT_EQ(::chmod(path.c_str(), mode), 0);
    return path;
  };
  const std::string scratch = folder("scratch", 0777);
  const std::string readOnly = file(folder("open", 0777) + "/ro.den", 0444);
  const std::string inLocked = file(folder("locked", 0777) + "/w.den", 0666);
  ::chmod((dir.path() + "/locked").c_str(), 0555);
  const std::string inSticky = file(folder("sticky", 01777) + "/w.den", 0666);
  const std::string linked = file(dir.path() + "/open/linked.den", 0646);
  ASSERT_EQ(::link(linked.c_str(), (dir.path() + "/open/other-name.den").c_str()), 0);

  const auto save = [&](const std::string& out) {
    return runBatchProcess({"save", mesh, model, "-o", out}, true, scratch);
  };
  BatchRun r = save(readOnly);
  if (r.status == 125) GTEST_SKIP() << "cannot run as an unprivileged user";
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.err, "error: " + saveFailureText(readOnly, "Permission denied") + "\n");
  EXPECT_EQ(read(readOnly), "old\n");

  for (const std::string& target : {inLocked, inSticky, linked}) {
    SCOPED_TRACE(target);
    const struct stat before = statOf(target);
    r = save(target);
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(read(target), kModel);
    const struct stat after = statOf(target);
    EXPECT_EQ(after.st_mode, before.st_mode);
    EXPECT_EQ(after.st_uid, before.st_uid);
    EXPECT_EQ(after.st_gid, before.st_gid);
    EXPECT_EQ(after.st_nlink, before.st_nlink);
  }
  EXPECT_EQ(read(dir.path() + "/open/other-name.den"), kModel) << "the other name of the file";
  EXPECT_EQ(names(dir.path() + "/locked"), std::set<std::string>{"w.den"});
  EXPECT_EQ(names(dir.path() + "/sticky"), std::set<std::string>{"w.den"});
  EXPECT_EQ(names(dir.path() + "/open"), (std::set<std::string>{"ro.den", "linked.den", "other-name.den"}));
  EXPECT_TRUE(names(scratch).empty());
  ::chmod((dir.path() + "/locked").c_str(), 0755);
}

TEST_F(BatchSaveSafety, ASignalDuringASaveLeavesNoTemporaryFile) {
  // Long enough to save that the signal comes while the temporary file is written.
  mesh = dir.write("m.msh", "100 100 100\n0 0 0\n100*10\n100*10\n100*10\n");
  std::string values;
  values.reserve(12'000'000);
  for (int n = 0; n < 1'000'000; ++n) values += std::to_string(n) + ".125\n";
  model = dir.write("m.den", values);
  const std::string out = dir.write("out.den", "old\n");
  for (const int sig : {SIGINT, SIGTERM, SIGHUP}) {
    SCOPED_TRACE(::strsignal(sig));
    const int watch = ::inotify_init1(IN_CLOEXEC | IN_NONBLOCK);
    ASSERT_GE(::inotify_add_watch(watch, dir.path().c_str(), IN_CREATE), 0);
    int errFd = -1;
    const pid_t pid = startBatch({"save", mesh, model, "-o", out}, errFd);
    bool seen = false;
    while (!seen) {
      pollfd p{watch, POLLIN, 0};
      if (::poll(&p, 1, 60'000) != 1) break;
      alignas(inotify_event) char buf[4096];
      const ssize_t n = ::read(watch, buf, sizeof buf);
      for (ssize_t at = 0; at < n;) {
        const auto* e = reinterpret_cast<const inotify_event*>(buf + at);
        if (e->len && std::strncmp(e->name, ".out.den.", 9) == 0) seen = true;
        at += static_cast<ssize_t>(sizeof(inotify_event) + e->len);
      }
    }
    ::close(watch);
    EXPECT_TRUE(seen) << "the save never started";
    ::kill(pid, sig);
    int status = 0;
    ::waitpid(pid, &status, 0);
    ::close(errFd);
    EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == sig) << "status " << status;
    EXPECT_EQ(names(dir.path()), (std::set<std::string>{"m.msh", "m.den", "out.den"}));
    EXPECT_EQ(read(out), "old\n");
  }
}

}  // namespace
}  // namespace litho
