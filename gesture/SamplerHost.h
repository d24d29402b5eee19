// What the cursor sampler asks of the system: the cursor's position, its two timers and a
// watch for the mouse, each answered by a call into gesture/Gesture.h. The Windows build
// runs them on the pad window; tests stand in for it and record what was asked.
#ifndef KWIX_GESTURE_SAMPLERHOST_H
#define KWIX_GESTURE_SAMPLERHOST_H

#include "base/Types.h"

class SamplerHost {
 public:
  virtual ~SamplerHost() = default;
  // The cursor in screen coordinates; false when the position cannot be read.
  virtual bool CursorPos(TPoint& position) = 0;

  // Each start is true when the system made it; a stop undoes its start and may be asked
  // when nothing runs.
  // The sampler's tick, every 10 ms: SampleCursor.
  virtual bool StartSampleTimer() = 0;
  virtual void StopSampleTimer() = 0;
  // Mouse input, also while another application is in front: MouseInput.
  virtual bool WatchMouseInput() = 0;
  virtual void UnwatchMouseInput() = 0;
  // The backup tick, twice a second or a little later: BackupTick.
  virtual bool StartBackupTimer() = 0;
  virtual void StopBackupTimer() = 0;
};

#endif
