#include "common/file_path.h"

namespace kivra {

std::FILE* OpenFile(const std::string& utf8Path, const char* mode) {
  return std::fopen(utf8Path.c_str(), mode);
}

}  // namespace kivra
