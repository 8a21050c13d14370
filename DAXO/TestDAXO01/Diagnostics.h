#pragma once
// How the module reports a programming error: "source(line): text" on the toolkit's debug
// output. The sources are the module's parts: TestDAXO01, DlgConfig, DlgTestConfig,
// DlgConfirm and ConfigList. Neither function ever throws.

void Diagnose(const char* source, int line, const char* text) noexcept;

// Inside a catch handler: diagnoses the exception being handled, with one fixed text for every
// kind of exception.
void DiagnoseCaughtException(const char* source, int line) noexcept;
