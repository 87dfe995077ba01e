<Quillnote FormatVersion="1.1">
	<Chars Value="Shopping list&#9;for the weekend"/><Br/>
	<Star/>
	<Chars Value=" see http://example.com/a?b=1&amp;c=2 or FILE:\\srv\notes.txt"/><Br/><Br/>
	<Chars Value="tabs&#9;&#9;and a link in &quot;quotes&quot;: &lt;https://example.org/&gt; ü €"/>
	<Star/>
	<Star/><Br/>
	<Foo Bar="1">
		<Baz/>
	</Foo>
	<Chars Value="ftp://x"/>
</Quillnote>
