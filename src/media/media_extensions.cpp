#include "media/media_extensions.h"

extern "C" {
#include <libavformat/avformat.h>
}

#include <algorithm>
#include <cctype>

namespace {

struct KnownExtension {
  const char* extension;
  const char* demuxer;
};
// What phones, cameras, recorders and messengers write, and the demuxer that
// reads each; an extension is offered only when its demuxer is built in.
constexpr KnownExtension kKnownExtensions[] = {
    {"mp4", "mov"},     {"m4a", "mov"},      {"mov", "mov"},       {"3gp", "mov"},
    {"m4v", "mov"},     {"mkv", "matroska"}, {"webm", "matroska"}, {"mka", "matroska"},
    {"ogg", "ogg"},     {"oga", "ogg"},      {"opus", "ogg"},      {"mp3", "mp3"},
    {"flac", "flac"},   {"aac", "aac"},      {"wma", "asf"},       {"wmv", "asf"},
    {"aif", "aiff"},    {"aiff", "aiff"},    {"caf", "caf"},       {"amr", "amr"},
    {"ac3", "ac3"},     {"wv", "wv"},        {"ape", "ape"},       {"au", "au"},
    {"mpg", "mpeg"},    {"mpeg", "mpeg"},    {"ts", "mpegts"},     {"mts", "mpegts"},
    {"m2ts", "mpegts"}, {"flv", "flv"},      {"w64", "w64"},       {"mp2", "mp3"},
};

std::vector<std::string> BuiltInExtensions() {
  std::vector<std::string> extensions;
  for (const KnownExtension& known : kKnownExtensions) {
    if (av_find_input_format(known.demuxer) != nullptr) {
      extensions.emplace_back(known.extension);
    }
  }
  return extensions;
}

}  // namespace

const std::vector<std::string>& MediaExtensions() {
  static const std::vector<std::string> kExtensions = BuiltInExtensions();
  return kExtensions;
}

bool HasMediaExtension(std::string_view path) {
  const std::size_t dot = path.find_last_of("./");
  if (dot == std::string_view::npos || path[dot] != '.') {
    return false;
  }
  std::string extension(path.substr(dot + 1));
  std::transform(extension.begin(), extension.end(), extension.begin(),
                 [](unsigned char letter) { return static_cast<char>(std::tolower(letter)); });
  const std::vector<std::string>& known = MediaExtensions();
  return std::find(known.begin(), known.end(), extension) != known.end();
}
