#pragma once
// Every handler of every screen runs through Guard: an error that escapes the
// handler (a database error, a failed conversion) ends the handler and is
// shown in the application's standard error box, and the application goes on.
#include <exception>
#include <functional>
#include <utility>

// Runs the handler; returns false when it ended with an error (already shown).
bool Guard(const std::function<void()> &handler);

// Shows the error the caller has just caught (inside a catch block).
void ShowCurrentError(std::exception_ptr error);

// A slot that runs the handler through Guard:
//   connect(BitBtn1, &QPushButton::clicked, this, Guarded([this] { BitBtn1Click(); }));
template <typename Handler>
auto Guarded(Handler handler)
{
    return [handler = std::move(handler)]() { Guard(handler); };
}
