#include "runtimeerror.h"

#include <new>

namespace lg {

RuntimeError::RuntimeError(long number, QString source, QString description)
    : m_number(number), m_source(std::move(source))
{
    setDescription(std::move(description));
}

void RuntimeError::setDescription(const QString& description)
{
    m_description = description;
    m_what = m_description.toStdString();
}

void RuntimeError::addFunctionTrace(const QString& source, const QString& procedure)
{
    m_source = source;
    setDescription(m_description + QStringLiteral("\r\n") + source + QStringLiteral(" in Function ") + procedure
                   + QLatin1Char(' '));
}

void RuntimeError::addSubTrace(const QString& source, const QString& procedure)
{
    m_source = source;
    setDescription(m_description + QStringLiteral("\r\n") + source + QStringLiteral(" in Sub ") + procedure);
}

void rethrowTraced(const QString& source, TraceKind kind, const QString& procedure)
{
    RuntimeError error;
    try {
        throw;
    } catch (const RuntimeError& e) {
        error = e;
    } catch (const std::bad_alloc&) {
        error = RuntimeError(7, source, QStringLiteral("Out of memory"));
    } catch (const std::exception& e) {
        error = RuntimeError(errnum::Internal, source, QString::fromUtf8(e.what()));
    } catch (...) {
        error = RuntimeError(errnum::Internal, source, QStringLiteral("Unknown error"));
    }
    if (kind == TraceKind::Function)
        error.addFunctionTrace(source, procedure);
    else
        error.addSubTrace(source, procedure);
    throw error;
}

}  // namespace lg
