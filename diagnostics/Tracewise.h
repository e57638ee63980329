// The report channel: every misuse or failure the library detects is reported with one call of
// twReport. The call always returns; the reporting operation goes on to its own neutral exit.
#pragma once

#include "platform/Export.h"

enum ReportMethod {
    rmDefault = 0,
};

// Reports message, raised in source module file at line. The library passes 1 as nLevel,
// rmDefault as method and 1 as nFlags. The result means nothing to the library.
ARTICLE_EXPORT int twReport(int nLevel, const char* pszMessage, const char* pszFile, int nLine,
                            ReportMethod method, int nFlags);

// Receives the reports. The default sink writes one line per report to standard error.
class ARTICLE_EXPORT ReportSink {
public:
    virtual ~ReportSink() = default;
    virtual void OnReport(int nLevel, const char* pszMessage, const char* pszFile, int nLine,
                          ReportMethod method, int nFlags) = 0;
};

// Installs sink (not owned); null puts back the default. Returns the sink installed before
// (null for the default).
ARTICLE_EXPORT ReportSink* SetReportSink(ReportSink* sink);
