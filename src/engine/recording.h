#pragma once

#include <cstdint>

struct SoundEngine;

// Capture ring: 30 × 8 seconds of 8-bit mono audio at 22050 Hz.
inline constexpr std::uint32_t kCaptureSampleRate = 22050;
inline constexpr std::uint32_t kRingBytes = kCaptureSampleRate * 30 * 8;
// How long a recording may run, in milliseconds of the tick source.
inline constexpr std::uint32_t kRecordingLimitMs = 20000;

enum class CapturePoll : std::uint8_t { Copied, NothingNew, Failed };

// Microphone recording into "tmp". A start that fails says so in a message
// and leaves the engine idle.
bool StartRecording(SoundEngine& engine);
// Appends what the device captured since the last poll to "tmp".
CapturePoll PollCapture(SoundEngine& engine);
// Ends the recording and puts the finished WAVE file in place as "tmp",
// without loading it (as when the program closes). False when idle.
bool FinishRecording(SoundEngine& engine);
// FinishRecording, then the recorded clip is loaded from the file written.
bool StopRecording(SoundEngine& engine);
// What the window shows: while a recording runs, the running analysis of
// what it captured so far; otherwise (or once that analysis failed) the
// engine itself.
const SoundEngine& ShownAnalysis(const SoundEngine& engine);
// Stops and gives up the capture and drops the unfinished recording; "tmp"
// keeps what it held.
void DiscardRecordingResources(SoundEngine& engine);
