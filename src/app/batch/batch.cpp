#include "app/batch/batch.h"

#include <cstdio>

#include "model/mesh_stats.h"
#include "model/opengl_doc.h"
#include "platform/file_system.h"
#include "platform/stream_platform.h"

namespace litho {

namespace {

constexpr const char* kUsage =
    "usage: lithoscan3d-batch info MESH [MODEL] [--log] [--second FILE] [--octree] [--yes]\n"
    "  Loads MESH (and MODEL, and a second model) as the program does and prints the mesh\n"
    "  statistics and a model summary. Messages the program would show in a box go to\n"
    "  standard error; --yes answers its questions with Yes.\n";

int usage(std::ostream& err, const std::string& problem) {
  if (!problem.empty()) err << "lithoscan3d-batch: " << problem << '\n';
  err << kUsage;
  return 2;
}

std::string number(double v) {
  char buf[64];
  std::snprintf(buf, sizeof buf, "%.9g", v);
  return buf;
}

std::string modelSummary(const COpenGLDoc& doc) {
  long long inactive = 0;
  for (std::size_t c = 0; c < doc.TopActiveIndex.size(); ++c) inactive += doc.TopActiveIndex.data()[c];
  std::string s = "models: " + std::to_string(doc.modelCount) + "\n";
  s += std::string("vector: ") + (doc.isVectorModel ? "yes" : "no") + "\n";
  s += std::string("log: ") + (doc.logModel ? "yes" : "no") + "\n";
  s += "min: " + number(doc.modelMin) + "\n";
  s += "max: " + number(doc.modelMax) + "\n";
  if (!doc.isVectorModel) s += "smallest: " + number(doc.smallestValue) + "\n";
  s += "inactive cells: " + std::to_string(inactive) + "\n";
  if (doc.secondModelLoaded) {
    s += "second min: " + number(doc.secondMin) + "\n";
    s += "second max: " + number(doc.secondMax) + "\n";
  }
  return s;
}

struct InfoArgs {
  std::string mesh, model, second;
  bool log = false, octree = false, yes = false;
};

int runInfo(const InfoArgs& a, std::ostream& out, std::ostream& err) {
  StreamPlatform platform(err, a.yes);
  COpenGLDoc doc(platform, platform);
  doc.logModel = a.log;
  doc.octreeMode = a.octree;
  doc.meshPath = fullPath(a.mesh);
  doc.modelPath = a.model.empty() ? std::string() : fullPath(a.model);
  doc.secondModelPath = a.second.empty() ? std::string() : fullPath(a.second);
  const LoadStatus s = doc.loadModelSet();
  if (s != LoadStatus::Loaded || !doc.modelLoaded) return 1;
  out << meshStatisticsText(doc.mesh) << '\n' << modelSummary(doc);
  out.flush();
  return 0;
}

}  // namespace

int runBatch(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
  if (args.empty()) return usage(err, "");
  if (args[0] == "--help" || args[0] == "-h") {
    out << kUsage;
    return 0;
  }
  if (args[0] != "info") return usage(err, "unknown command \"" + args[0] + "\"");

  InfoArgs a;
  std::vector<std::string> positional;
  for (std::size_t i = 1; i < args.size(); ++i) {
    const std::string& s = args[i];
    if (s == "--log") {
      a.log = true;
    } else if (s == "--yes") {
      a.yes = true;
    } else if (s == "--octree") {
      return usage(err, "--octree: octree meshes cannot be read by this version");
    } else if (s == "--second") {
      if (i + 1 >= args.size()) return usage(err, "--second needs a file");
      a.second = args[++i];
    } else if (s.size() > 1 && s[0] == '-' && s[1] == '-') {
      return usage(err, "unknown option " + s);
    } else {
      positional.push_back(s);
    }
  }
  if (positional.empty()) return usage(err, "info needs a mesh file");
  if (positional.size() > 2) return usage(err, "too many files");
  a.mesh = positional[0];
  if (positional.size() == 2) a.model = positional[1];
  if (!a.second.empty() && a.model.empty()) return usage(err, "--second needs a first model");
  return runInfo(a, out, err);
}

}  // namespace litho
