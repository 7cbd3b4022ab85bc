<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="pt_BR">
<context>
    <name>QObject</name>
    <message>
        <source>Contacts</source>
        <translation>Contatos</translation>
    </message>
    <message>
        <source>New contact</source>
        <translation>Novo contato</translation>
    </message>
    <message>
        <source>Call %1</source>
        <translation>Ligar para %1</translation>
    </message>
    <message>
        <source>Copy %1 to %2</source>
        <translation>Copiar %1 para %2</translation>
    </message>
    <message>
        <source>&amp;Open</source>
        <translation>&amp;Abrir</translation>
    </message>
</context>
</TS>
