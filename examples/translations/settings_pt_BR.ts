<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="pt_BR">
<context>
    <name>QObject</name>
    <message>
        <source>Settings</source>
        <translation>Configurações</translation>
    </message>
    <message>
        <source>Ringtone</source>
        <translation>Toque</translation>
    </message>
    <message>
        <source>Flight mode</source>
        <translation>Modo avião</translation>
    </message>
    <message>
        <source>Battery saver</source>
        <translation>Economia de bateria</translation>
    </message>
</context>
</TS>
