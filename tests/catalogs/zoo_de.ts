<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="de">
<context>
    <name>QObject</name>
    <message>
        <source>Hello</source>
        <translation>Servus</translation>
    </message>
    <message>
        <source>Hello!</source>
        <translation>Hello</translation>
    </message>
    <message>
        <source>Zoo</source>
        <translation>Tierpark</translation>
    </message>
</context>
</TS>
