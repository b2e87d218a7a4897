#include "engine/render/screenshot.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <vector>

#include "engine/core/log.h"
#include "engine/files/image.h"
#include "engine/files/image_codecs.h"
#include "engine/render/render.h"
#include "platform/os.h"

namespace vek {

namespace {
const char* const kSender = "COM";

// Anything of that name, a dangling link too, takes the name.
bool Exists(const vek::string& path) {
  struct stat st;
  return ::lstat(path.c_str(), &st) == 0;
}

// Writes the bytes as a new file (mode 0644); a file left half written is removed. The name was
// free a moment ago: whatever took it since (a link planted there) is never written through.
bool WriteWhole(const vek::string& path, const std::vector<u8>& bytes) {
  const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC | O_NOCTTY, 0644);
  if (fd < 0) return false;
  size_t done = 0;
  while (done < bytes.size()) {
    const ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
    if (n <= 0) break;
    done += static_cast<size_t>(n);
  }
  const bool ok = (::close(fd) == 0) && done == bytes.size();
  if (!ok) std::remove(path.c_str());
  return ok;
}
}  // namespace

bool shot() {
  // The user's desktop folder (XDG_DESKTOP_DIR, else ~/Desktop) keeps its own spelling; it is
  // made only when a picture is written into it.
  vek::string folder = plat::GetOs().DesktopFolder();
  while (folder.size() > 1 && folder.back() == '/') folder.pop_back();

  vek::string name = "vek00.png";
  const size_t digits = name.find('0');
  vek::string path;
  bool found = false;
  for (int n = 0; n < 100 && !found; ++n) {
    name[digits] = static_cast<char>('0' + n / 10);
    name[digits + 1] = static_cast<char>('0' + n % 10);
    path = folder + "/" + name;
    found = !Exists(path);
  }
  if (!found) {
    LogWarning(kSender, "Destination folder (%s) is full. Erase it.\n", folder);
    return false;
  }

  i32 rect[4] = {0, 0, 0, 0};
  std::unique_ptr<u8[]> pixels = g_pRender ? g_pRender->ReadFrontBuffer(rect) : nullptr;
  if (!pixels) {
    LogWarning(kSender, "Creating Screen Shot %s failed! Can't get buffer data.\n", name);
    return false;
  }
  const u32 w = static_cast<u32>(rect[2]), h = static_cast<u32>(rect[3]);
  cImage image;
  image.CreateFromBlock(e_PixRGB, w, h, std::move(pixels), w * h * 3);

  std::vector<u8> png;
  if (WritePNG(image, png, name.c_str()) != 0 || !plat::MakeFolders(folder) || !WriteWhole(path, png)) {
    LogWarning(kSender, "Creating Screen Shot %s failed! Error writing in file.\n", name);
    return false;
  }
  LogText(kSender, "Creating Screen Shot %s... Ok\n", name);
  return true;
}

}  // namespace vek
