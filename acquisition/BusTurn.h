#pragma once

#include "acquisition/AcquisitionEngine.h"

namespace quenlor {

// The bus for the owner's thread for as long as it lives: a window's handler
// that reads or writes registers holds one, so that a running read loop
// stands still at its next yield point meanwhile.
class BusTurn {
  public:
    explicit BusTurn(AcquisitionEngine& engine) : engine_(engine) { engine_.Acquire(); }
    ~BusTurn() { engine_.Release(); }
    BusTurn(const BusTurn&) = delete;
    BusTurn& operator=(const BusTurn&) = delete;

  private:
    AcquisitionEngine& engine_;
};

}  // namespace quenlor
