#pragma once

#include <QByteArray>
#include <QList>
#include <QMap>
#include <QObject>
#include <QTcpServer>

// An HTTP/1.1 server on 127.0.0.1 that keeps every request it gets and
// answers each with the status it is told.
class LoopbackHttpServer : public QObject {
  Q_OBJECT
 public:
  struct Request {
    QByteArray method;
    QByteArray path;
    QMap<QByteArray, QByteArray> headers;  // names in lower case
    QByteArray body;
  };

  LoopbackHttpServer();
  quint16 port() const { return m_server.serverPort(); }
  void setStatus(int status) { m_status = status; }
  const QList<Request>& requests() const { return m_requests; }

 private:
  void serve(class QTcpSocket* socket);

  QTcpServer m_server;
  int m_status = 200;
  QList<Request> m_requests;
};
