// What lupdate cannot see in a translation: every translation keeps its text's placeholders and
// its lines, and a caption's accelerator key in the "(&L)" form of languages written without
// Latin letters.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QXmlStreamReader>
#include <algorithm>
#include <cctype>
#include <set>
#include <string>
#include <vector>

namespace {

struct Message {
  QString context;
  QString source;
  QString translation;
  bool finished = true;
};

std::vector<Message> Read(const QString& path) {
  QFile file(path);
  EXPECT_TRUE(file.open(QIODevice::ReadOnly)) << path.toStdString();
  std::vector<Message> messages;
  QXmlStreamReader xml(&file);
  QString context;
  Message message;
  // Qt Linguist writes a carriage return as <byte value="xd"/> inside a text.
  QString* text = nullptr;
  while (!xml.atEnd()) {
    xml.readNext();
    if (xml.isStartElement()) {
      const auto name = xml.name();
      if (name == u"name") {
        context = xml.readElementText();
      } else if (name == u"message") {
        message = {context, {}, {}, true};
      } else if (name == u"source") {
        text = &message.source;
      } else if (name == u"translation") {
        message.finished = xml.attributes().value(QLatin1String("type")).isEmpty();
        text = &message.translation;
      } else if (name == u"byte" && text != nullptr) {
        *text +=
            QChar(xml.attributes().value(QLatin1String("value")).toString().toUInt(nullptr, 16));
      }
    } else if (xml.isCharacters() && text != nullptr) {
      *text += xml.text();
    } else if (xml.isEndElement()) {
      if (xml.name() == u"source" || xml.name() == u"translation") {
        text = nullptr;
      } else if (xml.name() == u"message") {
        messages.push_back(message);
      }
    }
  }
  EXPECT_FALSE(xml.hasError()) << xml.errorString().toStdString();
  return messages;
}

std::multiset<QString> Placeholders(const QString& text) {
  std::multiset<QString> found;
  static const QRegularExpression placeholder(QStringLiteral("%\\d"));
  for (const auto& match : placeholder.globalMatch(text)) {
    found.insert(match.captured());
  }
  return found;
}

// The accelerator of a caption: the letter after a single '&', upper-cased; none for "&&".
QChar Accelerator(const QString& text) {
  for (qsizetype at = 0; at + 1 < text.size(); ++at) {
    if (text[at] == u'&') {
      if (text[at + 1] == u'&') {
        ++at;
        continue;
      }
      return text[at + 1].toUpper();
    }
  }
  return {};
}

class TranslationFileTest : public ::testing::TestWithParam<std::string> {};

TEST_P(TranslationFileTest, KeepsPlaceholdersLineBreaksAndAccelerators) {
  const std::vector<Message> messages = Read(QStringLiteral(SCOURWELL_SOURCE_DIR "/translations/") +
                                             QString::fromStdString(GetParam()));
  ASSERT_GT(messages.size(), 200u);
  for (const Message& message : messages) {
    const std::string where =
        message.context.toStdString() + ": " + message.source.left(60).toStdString();
    EXPECT_TRUE(message.finished && !message.translation.isEmpty()) << where;
    EXPECT_EQ(Placeholders(message.translation), Placeholders(message.source)) << where;
    // A paragraph may break its lines where its language does; a line stays one line, and a
    // text that ends a line ends one.
    if (!message.source.contains(u'\n')) {
      EXPECT_FALSE(message.translation.contains(u'\n')) << where;
    }
    EXPECT_EQ(message.translation.endsWith(u'\n'), message.source.endsWith(u'\n')) << where;
    EXPECT_EQ(message.translation.count(u'\r'), message.source.count(u'\r')) << where;
    if (const QChar key = Accelerator(message.source); !key.isNull()) {
      EXPECT_EQ(Accelerator(message.translation), key) << where;
      EXPECT_TRUE(message.translation.contains(QStringLiteral("(&") + key + u')')) << where;
    }
  }
}

// Every translation in the repository, so that a new language is checked as soon as it is there.
std::vector<std::string> TranslationFiles() {
  std::vector<std::string> files;
  for (const QString& name : QDir(QStringLiteral(SCOURWELL_SOURCE_DIR "/translations"))
                                 .entryList({QStringLiteral("*.ts")}, QDir::Files, QDir::Name)) {
    files.push_back(name.toStdString());
  }
  return files;
}

INSTANTIATE_TEST_SUITE_P(Files, TranslationFileTest, ::testing::ValuesIn(TranslationFiles()),
                         [](const auto& info) {
                           std::string name = info.param;
                           std::replace_if(
                               name.begin(), name.end(),
                               [](char c) { return !std::isalnum(static_cast<unsigned char>(c)); },
                               '_');
                           return name;
                         });

}  // namespace
