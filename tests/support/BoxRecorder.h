#pragma once

#include <QList>
#include <QString>

#include "ui/Boxes.h"

namespace zomi::test {

// Answers every message and input box of the code under test instead of a
// human, and keeps what each box would have shown.
//   BoxRecorder boxes;
//   boxes.answers << true;                 // the next box answers Yes / OK
//   boxes.inputs << QStringLiteral("x");   // the next input box returns "x"
class BoxRecorder {
  public:
    BoxRecorder() {
        SetBoxResponder([this](BoxRequest& request) {
            shown << request;
            if (request.kind == BoxKind::Input && !inputs.isEmpty())
                request.value = inputs.takeFirst();
            return answers.isEmpty() ? defaultAnswer : answers.takeFirst();
        });
    }
    ~BoxRecorder() { SetBoxResponder({}); }
    BoxRecorder(const BoxRecorder&) = delete;
    BoxRecorder& operator=(const BoxRecorder&) = delete;

    QStringList texts() const {
        QStringList all;
        for (const BoxRequest& r : shown) all << r.text;
        return all;
    }
    QString lastText() const { return shown.isEmpty() ? QString() : shown.last().text; }

    QList<BoxRequest> shown;
    QList<bool> answers;
    QStringList inputs;
    bool defaultAnswer = false;
};

}  // namespace zomi::test
