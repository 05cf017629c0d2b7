// The one place where this subsystem runs shell command lines and probes
// files. A command's output comes back as whole lines, however long; a
// command that cannot be started gives no line. Every path spliced into a
// command line goes through QuoteShellWord so it stays one word and never runs.
#pragma once

#include <string>
#include <vector>

// The lines the command prints on standard output, without their newlines.
std::vector<std::string> RunPipeline(const std::string& command);

// word in single quotes, each embedded quote written as '\''.
std::string QuoteShellWord(const std::string& word);

// stat() finds something at path.
bool PathExists(const std::string& path);
