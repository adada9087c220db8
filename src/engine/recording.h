#pragma once

#include <cstdint>
#include <memory>

#include "engine/audio_devices.h"
#include "riff/wave_header.h"

struct SoundEngine;

// Capture ring: 30 × 8 seconds of 8-bit mono audio at 22050 Hz.
inline constexpr std::uint32_t kCaptureSampleRate = 22050;
inline constexpr std::uint32_t kRingBytes = kCaptureSampleRate * 30 * 8;
// How long a recording may run, in milliseconds of the tick source.
inline constexpr std::uint32_t kRecordingLimitMs = 20000;
// The platform's "invalid argument" code: PollCapture returns it for a read
// position outside the ring, the capture buffers for a range outside it.
inline constexpr std::int32_t kCaptureInvalidArgument = static_cast<std::int32_t>(0x80070057U);

// Microphone recording into "tmp". PollCapture returns 0 when bytes were
// copied, 1 when there was nothing to do, a negative platform code on failure.
// A start that fails says so in a message and leaves the engine idle.
bool StartRecording(SoundEngine& engine);
// Sets the ring size, then makes a ring of that size on `device` into
// `*buffer`. False when either is missing or the device refuses.
bool CreateCaptureBuffer(SoundEngine& engine, CaptureDevice* device,
                         std::unique_ptr<CaptureBuffer>* buffer);
std::int32_t PollCapture(SoundEngine& engine);
// Ends the recording and puts the finished WAVE file in place as "tmp",
// without loading it (as when the program closes). False when idle.
bool FinishRecording(SoundEngine& engine);
// FinishRecording, then the recorded clip is loaded from the file written.
bool StopRecording(SoundEngine& engine);
// Stops and gives up the capture and drops the unfinished recording; "tmp"
// keeps what it held.
void DiscardRecordingResources(SoundEngine& engine);
