// The typing session's word figures and their hand-over to the typing log.
#include <cmath>
#include <cstring>
#include <string>

#include "Article/TypeArt.h"
#include "Article/TypingLog.h"

namespace {

static_assert(kCharTrackSlots == kStopwatchSlots,
              "a lesson record has one slot per entry of the stopwatch's tables");

constexpr double kPercent = 100.0;

// A figure as a whole number: x + 0.5 truncated toward zero; 0 where x has no finite value.
int RoundFigure(double x) {
    const double v = x + 0.5;
    if (!std::isfinite(v) || v >= 2147483647.0 || v <= -2147483648.0) {
        return 0;
    }
    return static_cast<int>(v);
}

// Keystrokes per minute over the reference's characters per word; 0 while that is not set.
int ToWordSpeed(int keystrokesPerMinute, double charsPerWord) {
    if (!(charsPerWord > 0.0)) {
        return 0;
    }
    return RoundFigure(keystrokesPerMinute / charsPerWord);
}

}  // namespace

int TypeArt::GetWrongWordCount() {
    // 1.
    int count = 0;
    // 2. The typed bytes themselves, control codes included, against the reference text.
    std::string t;
    std::string r;
    for (int i = 0; i < m_nTokenCount; ++i) {
        const TypeToken* typed = GetTypeToken(i);
        if (!typed) {
            continue;  // a lesson without tokens
        }
        typed->GetTypedText(t);
        r.clear();
        if (const Token* ref = GetRefToken(i)) {
            ref->GetString(r);  // a token typed past the reference matches nothing
        }
        if (std::strcmp(t.c_str(), r.c_str()) != 0) {
            count += 1;
        }
    }
    // 3.
    return count;
}

int TypeArt::GetWordAccuracy() {
    // No word begun (before the first Recalculate): no accuracy yet.
    if (m_nTokenCount <= 0) {
        return 0;
    }
    const double wrong = GetWrongWordCount();
    return RoundFigure((1.0 - wrong / m_nTokenCount) * kPercent);
}

int TypeArt::GetTopWordSpeed() {
    return ToWordSpeed(m_stopwatch.GetTopSpeed(), m_pRefArt ? m_pRefArt->GetCharsPerWord() : 0.0);
}

int TypeArt::GetWordSpeed() {
    return ToWordSpeed(m_stopwatch.GetSpeed(), m_pRefArt ? m_pRefArt->GetCharsPerWord() : 0.0);
}

int TypeArt::GetCurWordSpeed() {
    return ToWordSpeed(m_stopwatch.GetCurSpeed(), m_pRefArt ? m_pRefArt->GetCharsPerWord() : 0.0);
}

BOOL TypeArt::FillLessonTrack(CLessonTrackFile* file) {
    // 1.
    if (!file) {
        return FALSE;
    }
    CLessonTrack* track = file->GetLastTrack();
    if (!track) {
        return FALSE;
    }
    // 2.
    track->m_dSpeed = static_cast<double>(m_stopwatch.GetSpeed());
    track->m_dTopSpeed = static_cast<double>(m_stopwatch.GetTopSpeed());
    track->m_nKeys = m_stopwatch.GetKeys();
    track->m_nErrors = m_stopwatch.GetErrors();
    track->m_nSeconds = m_stopwatch.GetActiveSeconds();
    track->m_nWords = GetTypedWordCount();
    track->m_nWordErrors = GetWrongWordCount();
    // 3. Every slot, also those without keystrokes.
    const int* keys = m_stopwatch.GetKeyTable();
    const int* times = m_stopwatch.GetTimeTable();
    const int* errors = m_stopwatch.GetErrorTable();
    for (int i = 0; i < kCharTrackSlots; ++i) {
        CCharTrack& slot = track->m_aCharTrack[i];
        slot.m_chChar = static_cast<char>(i);
        slot.m_nKeys = keys[i];
        slot.m_nTime = times[i];
        slot.m_nErrors = errors[i];
    }
    // 4. Date, identifiers and the file's modified flag stay.
    return TRUE;
}

BOOL TypeArt::AddWordTracks(CWordTrackFile* file) {
    // 1.
    if (!file || m_nTokenCount <= 0) {
        return FALSE;
    }
    // 2. One record per begun token, in token order; a refusal makes the result FALSE, the
    // other records are offered all the same.
    BOOL result = TRUE;
    std::string word;
    for (int i = 0; i < m_nTokenCount; ++i) {
        const TypeToken* typed = GetTypeToken(i);
        const Token* ref = GetRefToken(i);
        if (!typed || !ref) {
            continue;  // no reference word to record
        }
        // 2.1
        ref->GetWord(word);
        // 2.2 A token of delimiters only has no word to record.
        WordTrack* record = CreateWordTrack(word.c_str());
        if (!record) {
            continue;
        }
        // 2.3
        const int time = typed->GetTypingTime();
        record->m_bMistyped = typed->HasError() ? 1 : 0;
        record->m_nTime = time;
        record->m_nCount = 1;
        record->m_wAttemptTime = static_cast<WORD>(static_cast<unsigned>(time) & 0xFFFFu);
        record->m_wErrors = typed->HasError() ? 1 : 0;
        // 2.4 A refused record stays ours.
        if (!file->Add(record)) {
            DeleteWordTrack(record);
            result = FALSE;
        }
    }
    // 3.
    return result;
}
