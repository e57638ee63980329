// Collects every report made while it lives, instead of passing them to the sink before it.
#pragma once

#include <string>
#include <vector>

#include "diagnostics/Tracewise.h"

struct CapturedReport {
    std::string message;
    std::string file;
    int line;
};

class ScopedReportCapture : public ReportSink {
public:
    ScopedReportCapture() : m_pPrevious(SetReportSink(this)) {}
    ~ScopedReportCapture() override { SetReportSink(m_pPrevious); }
    ScopedReportCapture(const ScopedReportCapture&) = delete;
    ScopedReportCapture& operator=(const ScopedReportCapture&) = delete;

    void OnReport(int /*nLevel*/, const char* pszMessage, const char* pszFile, int nLine,
                  ReportMethod /*method*/, int /*nFlags*/) override {
        m_reports.push_back(CapturedReport{pszMessage ? pszMessage : "", pszFile ? pszFile : "",
                                           nLine});
    }

    const std::vector<CapturedReport>& Reports() const { return m_reports; }
    std::vector<std::string> Messages() const {
        std::vector<std::string> messages;
        for (const CapturedReport& r : m_reports) {
            messages.push_back(r.message);
        }
        return messages;
    }
    void Clear() { m_reports.clear(); }

private:
    ReportSink* m_pPrevious;
    std::vector<CapturedReport> m_reports;
};
