// Placeholder: filled in by the work that owns this file.
