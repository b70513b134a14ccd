// Placeholder translation unit; the runtime's sources join it in this folder.
