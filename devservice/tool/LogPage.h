#pragma once

#include <string>

#include "tool/LogModel.h"
#include "tool/LogSummary.h"

namespace qz::devservice::tool {

/// The most requests, faults and commits a session's timeline draws, and rows a table of the
/// page shows; the summary still counts them all, and the page says what it left out, so that
/// a long soak test gives a page a browser can open.
constexpr std::size_t kMaxDrawn = 5000;

/// One self-contained HTML page: the summary's tables, and per session a timeline with a bar
/// from each request to its answer (class "bar"; "lost" for one never answered), the faults
/// that fired (class "fault") and the commits, with filters by kind. The log's data sits in the
/// page as JSON that no text of the log can break out of; the page loads nothing else.
std::string LogPage(const LogModel& model, const LogSummary& summary, const std::string& title);

/// The page around its data: `json` is placed inside the page's data script as it is, so
/// it must hold no "<" (LogPage escapes it).
std::string LogPageFromData(const std::string& json);

}  // namespace qz::devservice::tool
