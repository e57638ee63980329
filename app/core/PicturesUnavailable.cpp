// The pictures of a typetutor built without the Cairo device context.
#include <ostream>

#include "Commands.h"

namespace {

constexpr int kExitRefused = 2;

int NotAvailable(const char* command, std::ostream& err) {
    err << "typetutor: " << command
        << " is not available: this typetutor was built without Cairo (TT_WITH_CAIRO)\n";
    return kExitRefused;
}

}  // namespace

int RunSnapshot(const Options& /*options*/, std::ostream& /*out*/, std::ostream& err) {
    return NotAvailable("snapshot", err);
}

int RunReport(const Options& /*options*/, std::ostream& /*out*/, std::ostream& err) {
    return NotAvailable("report", err);
}
