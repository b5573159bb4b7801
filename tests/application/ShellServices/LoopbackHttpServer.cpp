#include "LoopbackHttpServer.h"

#include <QTcpSocket>

LoopbackHttpServer::LoopbackHttpServer() {
  m_server.listen(QHostAddress::LocalHost, 0);
  connect(&m_server, &QTcpServer::newConnection, this, [this] {
    while (QTcpSocket* socket = m_server.nextPendingConnection()) {
      connect(socket, &QTcpSocket::readyRead, this, [this, socket] { serve(socket); });
      connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
    }
  });
}

// Waits until the request's head and its Content-Length of body are in.
void LoopbackHttpServer::serve(QTcpSocket* socket) {
  QByteArray buffer = socket->property("buffer").toByteArray() + socket->readAll();
  socket->setProperty("buffer", buffer);
  const qsizetype headEnd = buffer.indexOf("\r\n\r\n");
  if (headEnd < 0) return;
  Request request;
  const QList<QByteArray> lines = buffer.left(headEnd).split('\n');
  const QList<QByteArray> first = lines.value(0).trimmed().split(' ');
  request.method = first.value(0);
  request.path = first.value(1);
  for (qsizetype i = 1; i < lines.size(); ++i) {
    const qsizetype colon = lines[i].indexOf(':');
    if (colon > 0) request.headers.insert(lines[i].left(colon).trimmed().toLower(), lines[i].mid(colon + 1).trimmed());
  }
  const qsizetype length = request.headers.value("content-length").toLongLong();
  if (buffer.size() - headEnd - 4 < length) return;
  request.body = buffer.mid(headEnd + 4, length);
  m_requests.append(request);
  const QByteArray reply = "HTTP/1.1 " + QByteArray::number(m_status) +
                           " Answer\r\nContent-Type: text/plain\r\nContent-Length: 2\r\nConnection: close\r\n\r\nok";
  socket->write(reply);
  socket->disconnectFromHost();
}
