// The dump tool prints a file's chunks, objects and node hierarchy, and the toolkit's errors
// (exit status 1) for a file it refuses.
#include <sys/stat.h>
#include <sys/wait.h>

#include <chrono>

#include <cstdio>
#include <string>

#include "tests/engine/file3ds/chunk_writer.h"
#include "tests/support/fifo_rescue.h"
#include "tests/support/temp_dir.h"

namespace {

using namespace test3ds;

// Runs the tool on the file; its standard output and error, and its exit status.
std::string Dump(const std::string& path, int* status) {
  const std::string command =
      "'" + std::string(VEK_TEST_BIN_DIR) + "/../tools/dump3ds/dump3ds' '" + path + "' 2>&1";
  std::FILE* pipe = popen(command.c_str(), "r");
  std::string out;
  char buffer[512];
  while (size_t n = std::fread(buffer, 1, sizeof(buffer), pipe)) out.append(buffer, n);
  *status = WEXITSTATUS(pclose(pipe));
  return out;
}

TEST(Dump3ds, PrintsObjectsAndHierarchyOrTheErrors) {
  vektest::TempDir tmp;
  WriteBytes(tmp / "scene.3ds",
             MeshFile({Chunk(0x4000, B().s("box"),
                             {Chunk(0x4100, {}, {Chunk(0x4110, B().w(1).f(0).f(0).f(0))})})},
                      {Chunk(0xB002, {}, {Chunk(0xB030, B().w(0)), Chunk(0xB010, B().s("box").w(0).w(0).w(0xFFFF))}),
                       Chunk(0xB002, {}, {Chunk(0xB030, B().w(1)), Chunk(0xB010, B().s("lid").w(0).w(0).w(0))})}));
  int status = -1;
  const std::string out = Dump(tmp / "scene.3ds", &status);
  EXPECT_EQ(status, 0) << out;
  for (const char* line : {"mesh file", "0x4110  length 20", "box: 1 vertices, 0 faces",
                           "ID:1\tName:lid\tParent:0", "box\n-lid\n"})
    EXPECT_NE(out.find(line), std::string::npos) << line << "\n" << out;

  WriteBytes(tmp / "bad.3ds", ChunkWithLength(0x4D4D, 900, B().d(0)));
  const std::string bad = Dump(tmp / "bad.3ds", &status);
  EXPECT_EQ(status, 1);
  EXPECT_NE(bad.find("ERR_INVALID_CHUNK"), std::string::npos) << bad;

  // A FIFO named like a scene file is refused at once instead of waiting for a writer.
  const std::string fifo = tmp / "pipe.3ds";
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
  vektest::FifoRescue rescue(fifo);
  const auto start = std::chrono::steady_clock::now();
  Dump(fifo, &status);
  EXPECT_EQ(status, 1);
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(2));
}

}  // namespace
