// The paw guard's detector: what locks and what never does.
#include "controller/PawGuard.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

namespace quell::app {
namespace {

struct TEvent {
  std::uint32_t vk;
  bool down;
  std::uint32_t time;
  bool injected = false;
};

// The index of the first event that makes paws, or -1.
int FirstPaws(const std::vector<TEvent>& events) {
  TPawGuard guard;
  for (std::size_t i = 0; i < events.size(); ++i) {
    const TEvent& e = events[i];
    if (guard.Key(e.vk, e.down, e.injected, e.time)) return static_cast<int>(i);
  }
  return -1;
}

// `count` distinct letters pressed and released, `gapMs` apart, from `start`.
std::vector<TEvent> Taps(int count, std::uint32_t gapMs, std::uint32_t start = 0xFFFFFE00u) {
  std::vector<TEvent> events;
  for (int i = 0; i < count; ++i) {
    const std::uint32_t vk = 0x41 + static_cast<std::uint32_t>(i % 26);
    const std::uint32_t t = start + static_cast<std::uint32_t>(i) * gapMs;
    events.push_back({vk, true, t});
    events.push_back({vk, false, t + gapMs / 2});
  }
  return events;
}

// Keys pressed in turn and held, then released.
std::vector<TEvent> Chord(std::vector<std::uint32_t> keys, std::uint32_t gapMs = 30) {
  std::vector<TEvent> events;
  std::uint32_t t = 5000;
  for (std::uint32_t vk : keys) events.push_back({vk, true, t += gapMs});
  for (std::uint32_t vk : keys) events.push_back({vk, false, t += gapMs});
  return events;
}

TEST(PawGuard, BurstsAndChordsLockAndNothingATypistOrAGamerDoesEver) {
  std::vector<TEvent> repeat{{0x57, true, 0}};
  for (std::uint32_t t = 500; t < 20000; t += 33) repeat.push_back({0x57, true, t});
  // W, D and E held with Shift, W repeating, space hammered: four at most.
  std::vector<TEvent> gameKeys = Chord({0x57, 0xA0, 0x44, 0x45});
  gameKeys.resize(4);
  for (std::uint32_t t = 5200; t < 7000; t += 33) {
    gameKeys.push_back({0x20, t % 2 == 0, t});
    gameKeys.push_back({0x57, true, t + 1});
  }
  std::vector<TEvent> injected = Taps(60, 10);
  for (TEvent& e : injected) e.injected = true;
  std::vector<TEvent> lostKeyUps = Chord({0x41, 0x42, 0x43, 0x44});
  lostKeyUps.resize(4);  // their key-ups went to another desktop
  lostKeyUps.push_back({0x45, true, 9000});

  const struct {
    const char* what;
    std::vector<TEvent> events;
    int paws;  // the index of the event that locks, -1 for none
  } cases[] = {
      {"26 presses within a second, across the tick's wrap", Taps(26, 39), 50},
      {"25 presses within a second", Taps(25, 39), -1},
      {"a long burst at 25 a second", Taps(200, 40), -1},
      {"a long burst at 26 a second", Taps(200, 38), 50},
      {"five keys held at once", Chord({0x41, 0x42, 0x43, 0x44, 0x45}), 4},
      {"four keys held at once", Chord({0x41, 0x42, 0x43, 0x44}), -1},
      {"four keys with Shift, Ctrl, Alt and Windows",
       Chord({0x41, 0xA0, 0x42, 0xA2, 0x43, 0xA4, 0x44, 0x5B, 0x5C, 0x10}), -1},
      {"auto-repeat of a held key", repeat, -1},
      {"a game's three keys held and space hammered", gameKeys, -1},
      {"injected keys", injected, -1},
      {"keys whose key-ups were lost, then a fifth", lostKeyUps, -1},
  };
  for (const auto& c : cases) EXPECT_EQ(FirstPaws(c.events), c.paws) << c.what;
}

// A fast typist: "the quick brown fox jumps over the lazy dog" and a few
// sentences, at 15 keys a second in bursts with 40 ms between letters of a
// common pair, each key held 60 to 110 ms so that two or three overlap, a
// pause between words, Shift for capitals. It never makes paws.
TEST(PawGuard, AFastTypistNeverLocks) {
  const std::string text =
      "The quick brown fox jumps over the lazy dog. Pack my box with five dozen liquor jugs! "
      "the the and and then there their they them, quickly typed in a hurry.";
  std::vector<TEvent> events;
  std::uint32_t t = 1000;
  std::uint32_t previous = 0;
  for (std::size_t i = 0; i < text.size(); ++i) {
    const char c = text[i];
    const bool capital = c >= 'A' && c <= 'Z';
    std::uint32_t vk = c == ' '                 ? 0x20u
                       : capital                ? static_cast<std::uint32_t>(c)
                       : (c >= 'a' && c <= 'z') ? static_cast<std::uint32_t>(c - 'a' + 'A')
                                                : 0xBEu;
    t += (c == ' ') ? 120 : (vk == previous ? 90 : (i % 3 == 0 ? 40 : 67));
    if (capital) events.push_back({0xA0, true, t - 20});
    events.push_back({vk, true, t});
    events.push_back({vk, false, t + 60 + static_cast<std::uint32_t>(i % 5) * 12});
    if (capital) events.push_back({0xA0, false, t + 80});
    previous = vk;
  }
  // Key-ups come in time order, as the hook sees them.
  std::stable_sort(events.begin(), events.end(),
                   [](const TEvent& a, const TEvent& b) { return a.time < b.time; });
  EXPECT_EQ(FirstPaws(events), -1);
}

}  // namespace
}  // namespace quell::app
