// Placeholder until the exported functions exist.
