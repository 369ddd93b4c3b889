#pragma once
// A wrapper the program installs around every command the user starts (message-table handlers and
// menu commands), for instance to group the command's store writes into one batch and report
// store errors after it. The framework knows nothing about what the wrapper does.

#include <functional>

namespace fw {

using Command = std::function<void()>;
// Receives the command and must run it exactly once.
using CommandScope = std::function<void(const Command& command)>;

// Installs the wrapper (an empty function removes it). Returns the previous one.
CommandScope SetCommandScope(CommandScope scope);

// Runs `command` inside the installed wrapper. Commands started while another one runs (handlers
// of a modal dialog opened by a command, a close request sent by a handler) run directly inside
// the outer command's scope.
void RunCommand(const Command& command);

// True while a command runs.
bool InCommand();

}  // namespace fw
