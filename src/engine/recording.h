#pragma once

#include <cstdint>
#include <memory>

#include "engine/audio_devices.h"
#include "engine/wave_header.h"

struct SoundEngine;

// Capture ring: 30 × 8 seconds of 8-bit mono audio at 22050 Hz.
inline constexpr std::uint32_t kCaptureSampleRate = 22050;
inline constexpr std::uint32_t kRingBytes = kCaptureSampleRate * 30 * 8;
// How long a recording may run, in milliseconds of the tick source.
inline constexpr std::uint32_t kRecordingLimitMs = 20000;
// Captured bytes start where the WAVE header will end.
inline constexpr long kCaptureDataOffset = static_cast<long>(kWaveHeaderBytes);
// The platform's "invalid argument" code: PollCapture returns it for a read
// position outside the ring, the capture buffers for a range outside it.
inline constexpr std::int32_t kCaptureInvalidArgument = static_cast<std::int32_t>(0x80070057U);

// Microphone recording into "tmp". PollCapture returns 0 when bytes were
// copied, 1 when there was nothing to do, a negative platform code on failure.
bool StartRecording(SoundEngine& engine);
// Sets the ring size, then makes a ring of that size on `device` into
// `*buffer`. False when either is missing or the device refuses.
bool CreateCaptureBuffer(SoundEngine& engine, CaptureDevice* device,
                         std::unique_ptr<CaptureBuffer>* buffer);
std::int32_t PollCapture(SoundEngine& engine);
bool StopRecording(SoundEngine& engine);
// Stops and gives up the capture and closes "tmp" as it stands, without
// finishing or loading it.
void DiscardRecordingResources(SoundEngine& engine);
