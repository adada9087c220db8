#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>

// The start of a WAVE stream, read with the WAVE reader's own layout rules
// once the data chunk's header has arrived.

// What a stream's samples are and where they start.
struct StreamFormat {
  std::uint32_t sample_rate = 0;
  std::uint32_t sample_bytes = 1;  // 1 or 2
  std::uint64_t data_offset = 0;
  std::optional<std::uint32_t> data_bytes;  // none: until the stream ends
};

enum class HeaderState : std::uint8_t { NeedMore, Ready, Bad };

struct StreamHeader {
  HeaderState state = HeaderState::NeedMore;
  StreamFormat format;
  std::string error;  // why it is Bad
};

// A header longer than this is taken for something else.
inline constexpr std::size_t kMaxStreamHeaderBytes = std::size_t{1} << 20;

// Reads the stream's first bytes so far: mono PCM of 8 or 16 bits at a rate
// within the readers' limits is Ready, anything else Bad.
StreamHeader ReadStreamHeader(std::span<const std::uint8_t> bytes);
