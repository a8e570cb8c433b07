#pragma once

namespace qz::veltoclient {

/// The message template for `locale` (a UTF-16 code such as "de-DE", compared unit by unit and
/// case-sensitively), or null when the table has no such locale. Each template holds
/// "__REPLACE__" once, where the installation error number goes. The result points into a
/// constant table that lives as long as the process. `locale` must not be null.
const unsigned short* FindInstallationErrorMessage(const unsigned short* locale);

}  // namespace qz::veltoclient
