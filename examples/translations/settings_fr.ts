<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="fr">
<context>
    <name>QObject</name>
    <message>
        <source>Contacts</source>
        <translation>Répertoire</translation>
    </message>
    <message>
        <source>Settings</source>
        <translation>Paramètres</translation>
    </message>
    <message>
        <source>Ringtone</source>
        <translation>Sonnerie</translation>
    </message>
    <message>
        <source>Vibrate</source>
        <translation>Vibreur</translation>
    </message>
    <message>
        <source>Flight mode</source>
        <translation>Mode avion</translation>
    </message>
    <message>
        <source>&lt;b&gt;Storage&lt;/b&gt; full</source>
        <translation>&lt;i&gt;Stockage&lt;/i&gt; plein</translation>
    </message>
    <message>
        <source>Battery saver</source>
        <translation>Économiseur de batterie</translation>
    </message>
</context>
</TS>
