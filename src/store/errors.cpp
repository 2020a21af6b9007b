#include "errors.h"

#include "context.h"
#include "platform/message.h"

namespace lg {

std::shared_ptr<Error> Errors::Item(long index) const
{
    if (index < 1 || index > Count())
        return {};
    return m_items[static_cast<std::size_t>(index - 1)];
}

std::shared_ptr<Error> Errors::Item(const QVariant& index) const
{
    bool ok = false;
    const qlonglong i = index.toLongLong(&ok);
    if (!ok || i < 1 || i > Count())
        return {};
    return Item(static_cast<long>(i));
}

Error& Errors::Add()
{
    m_items.push_back(std::make_shared<Error>());
    return *m_items.back();
}

std::shared_ptr<lg::Errors> Handler::Errors() const
{
    ctx().currentErrors();
    return ctx().errors;
}

bool Handler::Initialize(long userId) const
{
    Q_UNUSED(userId);
    return true;
}

QVariant Handler::ObjCounter(eObjects object) const
{
    Q_UNUSED(object);
    return {};
}

void AddError(long number, const QString& description, QObject* sourceObject)
{
    Q_UNUSED(sourceObject);
    Error& error = ctx().currentErrors().Add();
    error.setNumber(number);
    error.setDescription(description);
}

void ShowErrors()
{
    Errors& errors = ctx().currentErrors();
    if (errors.Count() == 0)
        return;
    QString text;
    for (long i = 1; i <= errors.Count(); ++i)
        text += errors.Item(i)->description() + QStringLiteral("\r\n");
    // Empty the collection before showing, so that whatever happens while the
    // box is open nothing is shown twice.
    errors.Clear();
    ctx().messageService().MsgError(text);
}

}  // namespace lg
