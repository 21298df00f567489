#include "stepfailures.h"

#include "tavikerror.h"

#include <exception>

void StepFailures::run(const std::function<void()> &step)
{
    try {
        step();
    } catch (const std::exception &e) {
        const QString message = QString::fromUtf8(e.what());
        // A second step failing for the same reason says nothing new.
        if (!m_messages.contains(message))
            m_messages << message;
    }
}

void StepFailures::throwIfAny() const
{
    if (any())
        throw TavikError(m_messages.join(u'\r'));
}
