#pragma once

#include <QString>
#include <QStringList>

#include <functional>

// Runs the steps of a sequence each on its own: a step that fails is
// remembered and the steps after it still run, where they do not depend on
// it. The failures are then told once, together.
class StepFailures
{
public:
    // Runs the step; an error it throws is kept, not passed on.
    void run(const std::function<void()> &step);

    bool any() const { return !m_messages.isEmpty(); }
    const QStringList &messages() const { return m_messages; }

    // Throws one TavikError whose message holds every failure in order, one
    // a line (CR between them), when a step failed.
    void throwIfAny() const;

private:
    QStringList m_messages;
};
