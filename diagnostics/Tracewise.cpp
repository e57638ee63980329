#include "diagnostics/Tracewise.h"

#include <cstdio>

namespace {

class StderrSink : public ReportSink {
public:
    void OnReport(int /*nLevel*/, const char* pszMessage, const char* pszFile, int nLine,
                  ReportMethod /*method*/, int /*nFlags*/) override {
        // A report that cannot be written has nowhere else to go.
        (void)std::fprintf(stderr, "%s(%d): %s\n", pszFile ? pszFile : "?", nLine,
                           pszMessage ? pszMessage : "");
    }
};

StderrSink g_stderrSink;
ReportSink* g_pSink = nullptr;

}  // namespace

int twReport(int nLevel, const char* pszMessage, const char* pszFile, int nLine,
             ReportMethod method, int nFlags) {
    ReportSink& sink = g_pSink ? *g_pSink : static_cast<ReportSink&>(g_stderrSink);
    sink.OnReport(nLevel, pszMessage, pszFile, nLine, method, nFlags);
    return 0;
}

ReportSink* SetReportSink(ReportSink* sink) {
    ReportSink* previous = g_pSink;
    g_pSink = sink;
    return previous;
}
