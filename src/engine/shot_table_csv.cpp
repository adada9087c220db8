#include "engine/shot_table_csv.h"

#include <array>
#include <charconv>

#include "engine/detector.h"
#include "engine/readout_texts.h"
#include "engine/shot_table.h"
#include "engine/sound_engine.h"

namespace {

constexpr int kTimeDecimals = 6;
constexpr int kFloatDigits = 9;

// std::to_chars ignores the locale, unlike printf under a Qt program.
template <typename Number, typename... Format>
void Append(std::string& out, Number value, Format... format) {
  std::array<char, 64> buffer{};
  const auto result = std::to_chars(buffer.data(), buffer.data() + buffer.size(), value, format...);
  out.append(buffer.data(), result.ptr);
}

// A name may hold any byte but a line break must not end the comment.
std::string CommentText(std::string_view text) {
  std::string out(text);
  for (char& c : out) {
    if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F) {
      c = '?';
    }
  }
  return out;
}

}  // namespace

std::string ShotTableCsv(const SoundEngine& engine, std::string_view file) {
  std::string out = "# file: " + CommentText(file) + "\n";
  out += "# detector: " + std::string(DetectorName(engine.detector)) + "\n";
  for (const ReadoutText& readout : ReadoutTexts(engine, RateUnit::Bps)) {
    out += "# " + std::string(ReadoutKey(readout.readout)) + ": " + readout.text + "\n";
  }
  out += std::string(kShotCsvHeader) + "\n";
  for (const ShotRow& row : ShotTableRows(engine)) {
    Append(out, row.number);
    out += ',';
    Append(out, row.time_s, std::chars_format::fixed, kTimeDecimals);
    out += ',';
    Append(out, row.position);
    out += ',';
    if (row.has_next) {
      Append(out, row.split_ms, std::chars_format::general, kFloatDigits);
      out += ',';
      Append(out, row.rate_bps, std::chars_format::general, kFloatDigits);
      out += row.counts ? ",yes" : ",no";
    } else {
      out += ",,";
    }
    out += '\n';
  }
  return out;
}
