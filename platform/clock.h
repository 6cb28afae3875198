#pragma once
// The station's clocks. Local time and the time-zone bias come through small interfaces so
// that tests drive them; nothing in the station reads the system clock directly.

#include <functional>

#include "base/day_time.h"

namespace aerova {

class Clock {
  public:
    virtual ~Clock() = default;
    // Local wall-clock time as a day number.
    virtual DayTime LocalNow() const = 0;
    // Minutes to add to local time to get UTC (the Windows bias convention: a zone east
    // of Greenwich has a negative bias); nullopt-like failure is reported as false.
    virtual bool TimeZoneBias(int& minutes) const = 0;
};

class SystemClock final : public Clock {
  public:
    DayTime LocalNow() const override;
    bool TimeZoneBias(int& minutes) const override;
};

// A clock that stands still until told otherwise.
class ManualClock final : public Clock {
  public:
    explicit ManualClock(DayTime local = 0, int biasMinutes = 0)
        : local_(local), bias_(biasMinutes) {}
    DayTime LocalNow() const override { return local_; }
    bool TimeZoneBias(int& minutes) const override {
        if (!biasReadable_) return false;
        minutes = bias_;
        return true;
    }
    void Set(DayTime local) { local_ = local; }
    void AdvanceSeconds(double s) { local_ += s / kSecondsPerDay; }
    void SetBias(int minutes, bool readable = true) {
        bias_ = minutes;
        biasReadable_ = readable;
    }

  private:
    DayTime local_;
    int bias_;
    bool biasReadable_ = true;
};

// UtcNow = local clock + bias / 1440. The bias is read at reception start and on every
// statistics tick; it is 0 when the time-zone query fails.
class StationClock {
  public:
    explicit StationClock(const Clock& local) : local_(&local) {}
    DayTime UtcNow() const { return local_->LocalNow() + biasMinutes_ / 1440.0; }
    DayTime LocalNow() const { return local_->LocalNow(); }
    void ReadBias() {
        int minutes = 0;
        biasMinutes_ = local_->TimeZoneBias(minutes) ? minutes : 0;
    }
    int biasMinutes() const { return biasMinutes_; }

  private:
    const Clock* local_;
    int biasMinutes_ = 0;
};

// Sets the PC clock after the clock check. Tests inject a recorder; the real one needs
// the privilege to set the time and reports false without it.
class SystemClockSetter {
  public:
    virtual ~SystemClockSetter() = default;
    virtual bool SetLocalTime(DayTime local) = 0;
};

class RealSystemClockSetter final : public SystemClockSetter {
  public:
    bool SetLocalTime(DayTime local) override;
};

}  // namespace aerova
