#pragma once
// The talk-counting rules written again, apart from the plugin's own code, to check a
// plugin against: one count for all connections, the own client counted at most once, a
// stop of another client counted only after some other client started.

namespace talk_model {

enum class Volume { none, lower, raise };  // what goes out after a report

struct TalkModel {
  int talkingCount = 0;
  bool ownTalking = false;
  bool othersStarted = false;

  Volume report(int status, bool isOwn) {
    if (status == 1 && isOwn && !ownTalking) {
      ownTalking = true;
      ++talkingCount;
    } else if (status == 1 && !isOwn) {
      ++talkingCount;
      othersStarted = true;
    } else if (status == 0 && isOwn && ownTalking) {
      ownTalking = false;
      --talkingCount;
    } else if (status == 0 && !isOwn && othersStarted) {
      --talkingCount;
    }
    if (talkingCount < 0) return Volume::none;
    if (talkingCount > 0) return Volume::lower;
    othersStarted = false;
    return Volume::raise;
  }
};

}  // namespace talk_model
