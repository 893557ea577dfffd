#include "wizardcore/NameFilter.h"

#include <string_view>

namespace wizardcore {

NameFilter::NameFilter(const std::string& pattern) : empty_(pattern.empty()) {
  if (empty_) {
    return;
  }
  wholeSpec_ = pattern.find('/') != std::string::npos;
  const bool wildcards = pattern.find_first_of("*?") != std::string::npos;
  // Only * and ? are special; brackets and the rest stand for themselves.
  QString expression;
  QString literal;
  const auto flush = [&] {
    expression += QRegularExpression::escape(literal);
    literal.clear();
  };
  for (const QChar c : QString::fromStdString(pattern)) {
    if (c == u'*' || c == u'?') {
      flush();
      expression += c == u'*' ? QStringLiteral(".*") : QStringLiteral(".");
    } else {
      literal += c;
    }
  }
  flush();
  if (wildcards) {
    expression = QRegularExpression::anchoredPattern(expression);
  }
  expression_ = QRegularExpression(expression, QRegularExpression::CaseInsensitiveOption |
                                                   QRegularExpression::DotMatchesEverythingOption |
                                                   QRegularExpression::UseUnicodePropertiesOption);
  expression_.optimize();
}

bool NameFilter::Matches(const std::string& spec) const {
  if (empty_) {
    return true;
  }
  std::string_view text = spec;
  if (!wholeSpec_) {
    const std::size_t slash = text.rfind('/');
    if (slash != std::string_view::npos) {
      text.remove_prefix(slash + 1);
    }
  }
  return expression_.match(QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())))
      .hasMatch();
}

}  // namespace wizardcore
