<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="de">
<!-- Texts with the characters where the Latin-1 form or the UTF-8 length changes. -->
<context>
    <name>QObject</name>
    <message>
        <source>x&#x7f;</source>
        <translation>U+007F</translation>
    </message>
    <message>
        <source>x&#x80;</source>
        <translation>U+0080</translation>
    </message>
    <message>
        <source>x&#xff;</source>
        <translation>U+00FF</translation>
    </message>
    <message>
        <source>x&#x100;</source>
        <translation>U+0100</translation>
    </message>
    <message>
        <source>x&#x7ff;</source>
        <translation>U+07FF</translation>
    </message>
    <message>
        <source>x&#x800;</source>
        <translation>U+0800</translation>
    </message>
    <message>
        <source>x&#x10000;</source>
        <translation>U+10000</translation>
    </message>
</context>
</TS>
