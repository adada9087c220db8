#pragma once

#include <cstdint>
#include <functional>
#include <optional>

#include "riff/chunk_walk.h"
#include "riff/file_window.h"

// Where an AVI file keeps an audio stream's data: its "NNwb" chunks in the
// "movi" lists (and "rec " lists within them) of the "AVI " part and of every
// OpenDML "AVIX" part that follows it.

// A chunk of the walk over the whole file, opened as the "RIFF" part of form
// "AVI " (`first`) or "AVIX"; nullopt when it is anything else.
std::optional<ChunkWalk> OpenAviPart(const ChunkWalk& parts, const RiffChunk& chunk, bool first);

// Takes the offset of a data chunk's contents and how many bytes of them the
// walk delivers (none for a chunk reaching past its list); false ends the
// walk.
using DataChunkVisitor = std::function<bool(std::uint64_t contents, std::uint64_t size)>;

// Calls `visit` for each data chunk of the audio stream `stream_index` (among
// all streams, from 0) in file order. A malformed chunk ends the walk with what
// was found before it.
void VisitStreamData(FileWindow& file, std::uint32_t stream_index, const DataChunkVisitor& visit);
