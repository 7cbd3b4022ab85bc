<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="de">
<context>
    <name>QObject</name>
    <message>
        <source>Contacts</source>
        <translation>Adressbuch</translation>
    </message>
    <message>
        <source>Settings</source>
        <translation>Einstellungen</translation>
    </message>
    <message>
        <source>Ringtone</source>
        <translation>Klingelton</translation>
    </message>
    <message>
        <source>Vibrate</source>
        <translation>Vibration</translation>
    </message>
    <message>
        <source>Bluetooth</source>
        <translation>Bluetooth</translation>
    </message>
    <message>
        <source>&lt;b&gt;Storage&lt;/b&gt; full</source>
        <translation>&lt;b&gt;Speicher&lt;/b&gt; voll</translation>
    </message>
    <message>
        <source>Battery saver</source>
        <translation>Energiesparmodus für den Akku</translation>
    </message>
</context>
</TS>
