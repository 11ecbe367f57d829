#include "e2e/e2e_support.h"

#include <dirent.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>

#include "support/media_fixtures.h"
#include "support/temp_folder.h"

std::string E2eFolder(const std::string& name) {
  const std::string path = TempBase() + "/" + name;
  mkdir(path.c_str(), 0700);
  return path;
}

std::string E2eProgramDir() {
  char buffer[4096];
  const ssize_t n = readlink("/proc/self/exe", buffer, sizeof buffer - 1);
  if (n <= 0) return ".";
  std::string exe(buffer, static_cast<size_t>(n));
  return exe.substr(0, exe.find_last_of('/'));
}

std::string E2eFramesDir() {
  const std::string dir = E2eProgramDir() + "/e2e-frames";
  mkdir(dir.c_str(), 0755);
  return dir;
}

std::vector<std::string> E2eListFolder(const std::string& folder) {
  std::vector<std::string> names;
  if (DIR* dir = opendir(folder.c_str())) {
    while (dirent* entry = readdir(dir)) {
      const std::string name = entry->d_name;
      if (name != "." && name != "..") names.push_back(name);
    }
    closedir(dir);
  }
  std::sort(names.begin(), names.end());
  return names;
}

std::string E2eReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream text;
  text << in.rdbuf();
  return text.str();
}

bool E2eWritePng(const std::vector<uint8_t>& bgra, int width, int height, const std::string& path) {
  const std::string raw = path + ".bgra";
  if (!WriteBytes(raw, bgra.data(), bgra.size())) return false;
  const bool ok = RunFfmpeg("-f rawvideo -pix_fmt bgra -s " + std::to_string(width) + "x" +
                            std::to_string(height) + " -i '" + raw + "' -frames:v 1 '" + path + "'");
  std::remove(raw.c_str());
  return ok;
}
