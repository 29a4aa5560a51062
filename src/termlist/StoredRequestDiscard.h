#pragma once
// Discarding the terminal-initiated requests the manager has stored: the
// terminal-update window's "中止" asks the manager how many there are; with
// some, the user is asked whether to drop them, and on "はい" the manager
// hands them all over to be deleted here. The requests stay on the
// manager's thread until then; only the messages Msg::StoredRequests cross.

#include "common/Prompter.h"
#include "termlist/CommandHost.h"

class CommandFlow;
struct StoredRequestsPayload;

class StoredRequestDiscard
{
public:
    StoredRequestDiscard(CommandContext &context, const CommandFlow &flow)
        : m_ctx(context), m_flow(flow)
    {
    }

    // Msg::DiscardRequests: the window's "中止" was pressed.
    void onStopPressed();
    // Msg::StoredRequests: the manager's answer.
    void onAnswer(std::unique_ptr<StoredRequestsPayload> answer);

    // The question is open (a nested event loop runs under it).
    bool questionOpen() const { return m_box.isOpen(); }
    // The series of updates ended while the question was open: it ends as
    // "いいえ" and the window closes after it.
    void seriesEnded();

    // Requests deleted so far.
    int discarded() const { return m_discarded; }

private:
    void finish();

    enum class Phase { Idle, Counting, Asking };
    CommandContext &m_ctx;
    const CommandFlow &m_flow;
    Phase m_phase = Phase::Idle;
    BoxCloser m_box;
    bool m_seriesEnded = false;
    int m_discarded = 0;
};
