// Placeholder source for libraries made only of generated parts.
