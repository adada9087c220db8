#include "engine/sound_engine.h"

#include <gtest/gtest.h>

#include "support/fake_audio_system.h"
#include "support/test_support.h"

namespace {

TEST(SoundEngine, LogsOnlyWhenThereIsNoOutputDevice) {
  for (const bool available : {true, false}) {
    test::ScopedWorkDir dir;
    test::FakeAudioSystem audio;
    audio.script.output_available = available;
    const SoundEngine engine(&audio, nullptr);
    EXPECT_EQ(test::CriticalLogLines().size(), available ? 0U : 1U);
  }
  test::ScopedWorkDir dir;
  const SoundEngine engine(nullptr, nullptr);
  EXPECT_EQ(test::CriticalLogLines(), std::vector<std::string>{"Failed to Create Sound OBject"});
}

}  // namespace
