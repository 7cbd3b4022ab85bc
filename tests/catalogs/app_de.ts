<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="de">
<context>
    <name>QObject</name>
    <message>
        <source>Hello</source>
        <translation>Hallo</translation>
    </message>
    <message>
        <source>Good night</source>
        <translation>Gute Nacht</translation>
    </message>
    <message>
        <source>Radio</source>
        <translation>Radio</translation>
    </message>
    <message>
        <source>Two lines</source>
        <translation>Zwei
Zeilen</translation>
    </message>
    <message>
        <source>a|b	c</source>
        <translation>x|||y	z</translation>
    </message>
    <message>
        <source>Grüße</source>
        <translation>Schöne Grüße</translation>
    </message>
    <message>
        <source>Čeština</source>
        <translation>Tschechisch</translation>
    </message>
    <message>
        <source>Copy %1 to %2</source>
        <translation>Kopiere %1</translation>
    </message>
    <message>
        <source>&amp;Open</source>
        <translation>Öffnen</translation>
    </message>
    <message>
        <source>&lt;b&gt;Move&lt;/b&gt; it?</source>
        <translation>&lt;i&gt;Verschieben&lt;/i&gt;？</translation>
    </message>
    <message>
        <source>0123456789012345678901234567890123456789012345678901234567890123456789012345678901234567890123456789012345678901234567890123456789</source>
        <translation>long</translation>
    </message>
</context>
</TS>
