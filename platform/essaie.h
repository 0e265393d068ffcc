#pragma once
#include <exception>

/// Runs one step of a procedure that goes on when a step fails (the
/// listings, the completion): true when it ran through, false when it threw.
template <typename Etape>
bool Essaie(Etape etape)
{
    try {
        etape();
        return true;
    } catch (const std::exception &) {
        return false;
    }
}
