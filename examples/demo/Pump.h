#pragma once

// Waiting for answers the way a game does: call Update once per frame until the answer is
// there, giving up after a timeout so that a lost answer never hangs the game.

namespace qz::veltoclient {
class VeltoClient;
}

namespace demo {

/// Calls client.Update() about every `frameMs` milliseconds until `*answered` is true or
/// `timeoutMs` have passed. True when the answer came.
bool PumpUntil(qz::veltoclient::VeltoClient& client, const bool* answered,
               unsigned int timeoutMs = 5000, unsigned int frameMs = 1);

}  // namespace demo
