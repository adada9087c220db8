#pragma once

#include <cstdint>

struct SoundEngine;

// Capture ring: 30 × 8 seconds of 8-bit mono audio at 22050 Hz.
inline constexpr std::uint32_t kCaptureSampleRate = 22050;
inline constexpr std::uint32_t kRingBytes = kCaptureSampleRate * 30 * 8;
// How long a recording may run, in milliseconds of the tick source.
inline constexpr std::uint32_t kRecordingLimitMs = 20000;

// Microphone recording into "tmp". PollCapture returns 0 when bytes were
// copied, 1 when there was nothing to do, a negative platform code on failure.
bool StartRecording(SoundEngine& engine);
bool CreateCaptureBuffer(SoundEngine& engine);
std::int32_t PollCapture(SoundEngine& engine);
bool StopRecording(SoundEngine& engine);
